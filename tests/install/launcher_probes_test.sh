#!/usr/bin/env bash
# launcher_probes_test.sh LAUNCHER: the launcher's probes (glxinfo, ldd)
# against stand-ins that hang, crash, ignore SIGTERM or name odd paths: the
# launcher always ends, leaves no file or process behind, takes a path as a
# path, and says why it chose what it chose. The time limits here only
# keep a broken launcher from hanging the suite.
set -euo pipefail
launcher="$1"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
fail() {
    echo "FAILED: $*"
    exit 1
}
mkdir -p "$tmp/bin" "$tmp/game" "$tmp/scratch" "$tmp/my libs" "$tmp/cwd"
# ldd: FAKE_LDD=hang hangs ignoring SIGTERM; otherwise names FAKE_SDL.
cat >"$tmp/bin/ldd" <<'LDD'
#!/bin/sh
[ "${FAKE_LDD-}" = hang ] && { trap '' TERM; exec sleep 71.25; }
printf '\tlibSDL-1.2.so.0 => %s (0x00007f74)\n' "$FAKE_SDL"
LDD
# glxinfo: FAKE_GLX=hang says it started and hangs ignoring SIGTERM,
# crash dies of SIGSEGV, else reports FAKE_RENDERER.
cat >"$tmp/bin/glxinfo" <<GLX
#!/bin/sh
case "\${FAKE_GLX-}" in
hang) trap '' TERM; touch "$tmp/probing"; exec sleep 72.25 ;;
crash) kill -SEGV \$\$ ;;
esac
echo "direct rendering: Yes"
echo "OpenGL renderer string: \$FAKE_RENDERER"
GLX
chmod +x "$tmp/bin/ldd" "$tmp/bin/glxinfo"
printf 'SDL12COMPAT_USE_GAME_CONTROLLERS\0' >"$tmp/my libs/layer.so"
printf 'SDL12COMPAT_USE_GAME_CONTROLLERS\0' >"$tmp/cwd/decoy"
cp "$launcher" "$tmp/game/zultmirax-launcher"
cat >"$tmp/game/zultmirax" <<'GAME'
#!/bin/sh
echo "$*"
GAME
chmod +x "$tmp/game/zultmirax"

# run ENV...: the launcher's --window-env --why in a clean environment, from
# a folder holding a decoy with the layer's switch in it; sets out and why.
run() {
    local status=0
    (cd "$tmp/cwd" && env -i PATH="$tmp/bin:/usr/bin:/bin" TMPDIR="$tmp/scratch" "$@" \
        timeout 60 "$tmp/game/zultmirax-launcher" --window-env --why >"$tmp/out" 2>"$tmp/why") || status=$?
    out="$(cat "$tmp/out")"
    why="$(cat "$tmp/why")"
    [ "$status" -eq 0 ] || fail "$* : status $status: $why"
}
pads() { printf '%s\n' "$out" | grep -c '^SDL12COMPAT_USE_GAME_CONTROLLERS=1$' || true; }

# ldd: bounded, its path taken whole and only as a file.
run ZM_WINDOW_PATH=default FAKE_LDD=hang
[ "$(pads)" = 0 ] && printf '%s\n' "$why" | grep -q "cannot tell which SDL" || fail "a hanging ldd: $why"
if pgrep -f "sleep 71.25" >/dev/null; then fail "a hanging ldd was left running"; fi
for odd in /dev/zero -r "$tmp/cwd"; do
    run ZM_WINDOW_PATH=default FAKE_SDL="$odd"
    [ "$(pads)" = 0 ] && printf '%s\n' "$why" | grep -q "cannot tell which SDL" || fail "ldd naming '$odd': $why"
done
run ZM_WINDOW_PATH=default FAKE_SDL="$tmp/my libs/layer.so"
[ "$(pads)" = 1 ] || fail "a library in a folder with a space: $why"
echo "ok: ldd is bounded, and its path is one whole path to a file"

# The player's switch, as the layer will read it.
for value in 0 yes true "" " 0"; do
    run ZM_WINDOW_PATH=default FAKE_SDL="$tmp/my libs/layer.so" SDL12COMPAT_USE_GAME_CONTROLLERS="$value"
    printf '%s\n' "$why" | grep -q "reads as off: pads keep their own button numbers" || fail "switch '$value': $why"
done
for value in 1 2 " +1" -1; do
    run ZM_WINDOW_PATH=default FAKE_SDL="$tmp/my libs/layer.so" SDL12COMPAT_USE_GAME_CONTROLLERS="$value"
    printf '%s\n' "$why" | grep -q "reads as on: every pad" || fail "switch '$value': $why"
done
echo "ok: --why says what the layer will make of the player's switch"

# Why glxinfo was not asked, and a crash that stays quiet without --why.
run FAKE_SDL=/none
printf '%s\n' "$why" | grep -q "no X display to ask" || fail "no display: $why"
run DISPLAY=:0 FAKE_SDL=/none FAKE_GLX=crash
printf '%s\n' "$why" | grep -q "glxinfo crashed (signal 11)" || fail "a crashing glxinfo: $why"
quiet="$(cd "$tmp/cwd" && env -i PATH="$tmp/bin:/usr/bin:/bin" DISPLAY=:0 FAKE_SDL=/none FAKE_GLX=crash \
    timeout 60 "$tmp/game/zultmirax-launcher" --window-env 2>&1 >/dev/null)"
[ -z "$quiet" ] || fail "a crashing glxinfo without --why printed: $quiet"
echo "ok: --why tells a missing display from a missing glxinfo, and a crash is quiet"

# An unusable TMPDIR: no shell errors, and the probe still decides.
for case in "llvmpipe|SDL_RENDER_DRIVER=software" "AMD Radeon|"; do
    renderer="${case%%|*}" want="${case#*|}"
    status=0
    (cd "$tmp/cwd" && env -i PATH="$tmp/bin:/usr/bin:/bin" TMPDIR=/no/such/dir DISPLAY=:0 FAKE_SDL=/none \
        FAKE_RENDERER="$renderer" timeout 60 "$tmp/game/zultmirax-launcher" --window-env >"$tmp/out" 2>"$tmp/why") ||
        status=$?
    [ "$status" -eq 0 ] && [ ! -s "$tmp/why" ] || fail "TMPDIR unusable: status $status: $(cat "$tmp/why")"
    got="$(grep -c '^SDL_RENDER_DRIVER=software$' "$tmp/out" || true)"
    [ "$got" = "$([ -n "$want" ] && echo 1 || echo 0)" ] || fail "TMPDIR unusable, $renderer: $(cat "$tmp/out")"
done
echo "ok: an unusable TMPDIR changes nothing"

# Stopped while glxinfo hangs ignoring SIGTERM: the launcher ends with the
# signal's status and leaves no file or process.
for signal in TERM HUP INT; do
    rm -f "$tmp/probing"
    set -m
    env -i PATH="$tmp/bin:/usr/bin:/bin" TMPDIR="$tmp/scratch" DISPLAY=:0 FAKE_SDL=/none FAKE_GLX=hang \
        "$tmp/game/zultmirax-launcher" --window-env >/dev/null 2>"$tmp/why" &
    pid=$!
    set +m
    for _ in $(seq 1 1200); do [ -e "$tmp/probing" ] && break; sleep 0.05; done
    [ -e "$tmp/probing" ] || fail "$signal: the probe never started"
    kill -"$signal" "$pid"
    timeout 60 tail --pid="$pid" -f /dev/null || fail "$signal: the launcher did not end"
    status=0
    wait "$pid" || status=$?
    want=$((128 + $(kill -l "$signal")))
    [ "$status" -eq "$want" ] || fail "$signal during the probe: status $status, not $want: $(cat "$tmp/why")"
    [ -z "$(ls "$tmp/scratch")" ] || fail "$signal during the probe left $(ls "$tmp/scratch")"
    if pgrep -f "sleep 72.25" >/dev/null; then fail "$signal during the probe left it running"; fi
done
echo "ok: a launcher stopped during its probe ends with the signal's status and leaves nothing"

# "--" ends the options: what follows goes to the game as it is.
got="$(env -i PATH="$tmp/bin:/usr/bin:/bin" TMPDIR="$tmp/scratch" ZM_WINDOW_PATH=default FAKE_SDL=/none \
    "$tmp/game/zultmirax-launcher" -- --window-env --bogus)"
[ "$got" = "--window-env --bogus" ] || fail "after --, the game got '$got'"
[ -z "$(ls "$tmp/scratch")" ] || fail "a started game left $(ls "$tmp/scratch")"
echo "ok: -- ends the options, and a started game leaves no scratch file"
