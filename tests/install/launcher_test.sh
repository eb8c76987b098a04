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
expect "only the first --fullscreen is the launcher's; the rest pass through unchanged" \
    "$(printf 'scale=3\nmethod=linear\nfullscreen=1\nother=unset\narg=--fullscreen\narg=a b\narg=')" \
    "${clean[@]}" SDL12COMPAT_SCALE_METHOD=linear "$tmp/zultmirax-launcher" --fullscreen --fullscreen 'a b' ''
exit $fail
