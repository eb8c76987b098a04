#!/usr/bin/env bash
# launcher_test.sh LAUNCHER: the launcher's defaults, with a stand-in game
# beside a copy of it that reports what it was started with.
set -u
launcher="$1"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
cp "$launcher" "$tmp/zultmirax-launcher"
cat >"$tmp/zultmirax" <<'GAME'
#!/bin/sh
printf 'scale=%s\n' "${SDL12COMPAT_WINDOW_SCALING-unset}"
printf 'method=%s\n' "${SDL12COMPAT_SCALE_METHOD-unset}"
printf 'fullscreen=%s\n' "${ZULTMIRAX_FULLSCREEN-unset}"
printf 'other=%s\n' "${ZM_OTHER-unset}"
for a in "$@"; do printf 'arg=%s\n' "$a"; done
GAME
chmod +x "$tmp/zultmirax"
ln -s "$tmp/zultmirax-launcher" "$tmp/link"  # started through a link, it still finds the game
fail=0
expect() { # description, expected output, command...
    local what="$1" want="$2"; shift 2
    local got
    got="$("$@" 2>&1)"
    if [ "$got" = "$want" ]; then echo "ok: $what"; else printf 'FAILED: %s\n--- want\n%s\n--- got\n%s\n' "$what" "$want" "$got"; fail=1; fi
}
# The window path is settled here so that no OpenGL probe runs; its choice
# has a test of its own.
clean=(env -u SDL12COMPAT_WINDOW_SCALING -u SDL12COMPAT_SCALE_METHOD -u ZULTMIRAX_FULLSCREEN -u ZM_OTHER ZM_WINDOW_PATH=default)

expect "by default: 3x, nearest neighbour, windowed" \
    "$(printf 'scale=3\nmethod=nearest\nfullscreen=unset\nother=unset')" \
    "${clean[@]}" "$tmp/link"
expect "the player's own settings win, even empty ones; others pass through" \
    "$(printf 'scale=2\nmethod=\nfullscreen=unset\nother=x y')" \
    "${clean[@]}" SDL12COMPAT_WINDOW_SCALING=2 SDL12COMPAT_SCALE_METHOD= ZM_OTHER='x y' "$tmp/zultmirax-launcher"
expect "--fullscreen asks the game for fullscreen and is not passed on" \
    "$(printf 'scale=3\nmethod=nearest\nfullscreen=1\nother=unset')" \
    "${clean[@]}" "$tmp/zultmirax-launcher" --fullscreen
expect "--fullscreen anywhere is the launcher's; arguments that are not options pass through unchanged" \
    "$(printf 'scale=3\nmethod=linear\nfullscreen=1\nother=unset\narg=a b\narg=')" \
    "${clean[@]}" SDL12COMPAT_SCALE_METHOD=linear "$tmp/zultmirax-launcher" 'a b' --fullscreen '' --fullscreen

# --help and --version answer and start nothing; an unknown option is refused.
usage="usage: zultmirax-launcher [--fullscreen] | --window-env [--why] | --help | --version"
status_of() { "$@" >"$tmp/out" 2>&1; echo $?; }
[ "$(status_of "${clean[@]}" "$tmp/zultmirax-launcher" --help)" = 0 ] && [ "$(head -1 "$tmp/out")" = "$usage" ] &&
    ! grep -q scale= "$tmp/out" && echo "ok: --help prints the usage and starts nothing" ||
    { echo "FAILED: --help: $(cat "$tmp/out")"; fail=1; }
[ "$(status_of "${clean[@]}" "$tmp/zultmirax-launcher" --version)" = 0 ] &&
    grep -qxE 'zultmirax-launcher [0-9]+\.[0-9]+\.[0-9]+' "$tmp/out" && echo "ok: --version prints the version" ||
    { echo "FAILED: --version: $(cat "$tmp/out")"; fail=1; }
[ "$(status_of "${clean[@]}" "$tmp/zultmirax-launcher" --fullscreen --bogus)" = 2 ] &&
    grep -qx "zultmirax-launcher: unknown option '--bogus'" "$tmp/out" && grep -qxF "$usage" "$tmp/out" &&
    ! grep -q scale= "$tmp/out" && echo "ok: an unknown option is refused with status 2 and the usage" ||
    { echo "FAILED: an unknown option: $(cat "$tmp/out")"; fail=1; }
exit $fail
