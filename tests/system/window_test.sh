#!/usr/bin/env bash
# The real game in a real window: a virtual X server of exactly the game's
# size, keys sent through XTEST, screenshots read back pixel by pixel.
# splash -> fire -> title -> fire -> game, some moves and shots, Escape.
set -u
bin="$1"
. "$(dirname "$0")/xvfb.sh"

SDL_AUDIODRIVER=dummy "$bin" >"$tmp/out" 2>&1 &
game_pid=$!

wait_until 15 "the splash logo is shown" splash_shown
sleep 1.2  # the splash reads the pad from its 62nd frame
hold z 0.4
wait_until 15 "the title picture is shown" title_shown
wait_until 15 "the prompt blinks on under the title" prompt_shown
hold space 0.4
wait_until 15 "the game's HUD is drawn" hud_shown
[ "$(mean 78 8 242 200)" -gt 50 ] || fail "the title words on the HUD panel"

# Slide right for a while, firing now and then; the cannon must have left
# its starting place at x 10 and the HUD must still stand.
xdotool keydown Right
for i in 1 2 3; do hold space 0.15; sleep 0.2; done
xdotool keyup Right
# The cannon blinks while it arrives, so look until a shot catches it.
cannon_moved() { [ "$(mean 13 8 10 216)" -lt 300 ] && [ "$(mean 200 8 30 216)" -gt 0 ]; }
wait_until 10 "the cannon has moved right from x 10" cannon_moved
hud_shown || fail "the HUD after play"

xdotool key Escape
for i in $(seq 1 50); do
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$game_pid" 2>/dev/null && fail "Escape did not end the program within 5 s"
wait "$game_pid"
status=$?
game_pid=""
[ $status -eq 0 ] || fail "exit status $status after Escape"
echo "ok: Escape ends the program with status 0"
