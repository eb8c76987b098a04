#!/usr/bin/env bash
# A desktop pad through the real SDL layer. A stand-in game controller (SDL
# 2's virtual pad) is preloaded into the runner, which records a live game with the layer's game-controller layout
# on: the pad starts a game, moves the cannon with the d-pad and the stick,
# and fires with A. The recording names its layout and replays headless to
# the same trace and event log; read in the handheld's numbering instead,
# the same lines play another game.
set -u
bin="$1"
shim="$2"
tmp="$(mktemp -d)"
[ -n "${ZM_KEEP-}" ] || trap 'rm -rf "$tmp"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Milliseconds from the runner's start (the recording runs for 16 s, room
# for a slow start on a loaded machine): A now and then until a game runs
# (the splash, then the title, take a press each), then the d-pad's right,
# A, and the stick to the left.
{
    for ms in 1300 2600 3900 5200; do
        echo "$ms button 0 1"
        echo "$((ms + 250)) button 0 0"
    done
    echo "6000 button 14 1"
    echo "6600 button 14 0"
    echo "6800 button 0 1"
    echo "7000 button 0 0"
    echo "7200 axis 0 -32000"
    echo "7700 axis 0 0"
} >"$tmp/timeline"

# No window has the focus under the dummy driver; SDL 2 drops pad input of
# an unfocused program unless told not to.
run_live() {
    env -u SDL12COMPAT_USE_GAME_CONTROLLERS SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
        SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS=1 ZM_VIRTUAL_PAD="$tmp/timeline" LD_PRELOAD="$shim" "$@"
}
run_live "$bin" --record "$tmp/rec.txt" --passes 1000 --trace "$tmp/live.csv" --events "$tmp/live-events.csv" \
    2>"$tmp/err" || fail "recording failed: $(cat "$tmp/err")"
if grep -q 'no SDL 2 with virtual joysticks' "$tmp/err"; then
    echo "skip: this SDL has no virtual joysticks"
    exit 77
fi
grep -q 'virtual pad: attached' "$tmp/err" || fail "the stand-in pad was not attached: $(cat "$tmp/err")"

rec="$tmp/rec.txt"
grep -qx '# pad-layout controller' "$rec" || fail "the recording does not name its layout: $(head -3 "$rec")"
grep -q ' joy down 0 0$' "$rec" || fail "A is not button 0 in the recording"
grep -q ' joy down 0 14$' "$rec" || fail "the d-pad's right is not button 14: $(grep joy "$rec" | head)"
grep -q ' axis 0 0 -32000$' "$rec" || fail "the stick is not axis 0"
echo "ok: the pad's A, d-pad and stick recorded in the controller layout"

SDL_VIDEODRIVER=dummy "$bin" --input "$rec" --passes 1000 --trace "$tmp/replay.csv" --events "$tmp/replay-events.csv" ||
    fail "the headless replay failed"
cmp "$tmp/live.csv" "$tmp/replay.csv" || fail "the replay's trace differs from the live game's"
cmp "$tmp/live-events.csv" "$tmp/replay-events.csv" || fail "the replay's event log differs from the live game's"
# The pad played: a game started, the cannon went right and left, a shot flew.
played="$(awk -F, 'NR == 1 { for (i = 1; i <= NF; i++) c[$i] = i; next }
    $c["state"] == 6 { game = 1; if ($c["cannon_x"] > 10) right = 1; if (right && $c["cannon_x"] < max) left = 1
                       if ($c["cannon_x"] > max) max = $c["cannon_x"] }
    $c["shot_count"] > 0 { fired = 1 }
    END { print game + 0, right + 0, left + 0, fired + 0 }' "$tmp/replay.csv")"
[ "$played" = "1 1 1 1" ] || fail "game, right, left, fired: $played"
echo "ok: the replay has the live game, in which the pad started, moved both ways and fired"

# The same lines in the handheld's numbering: button 0 is up there, so no
# game starts.
SDL_VIDEODRIVER=dummy "$bin" --input "$rec" --passes 1000 --pad-layout handheld --trace "$tmp/handheld.csv" ||
    fail "the replay in the handheld layout failed"
awk -F, 'NR == 1 { for (i = 1; i <= NF; i++) c[$i] = i; next } $c["state"] == 6 { exit 1 }' "$tmp/handheld.csv" ||
    fail "read as the handheld's numbers, the recording still started a game"
echo "ok: --pad-layout overrides the recording's layout"
