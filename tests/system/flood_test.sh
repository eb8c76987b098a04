#!/usr/bin/env bash
# A flood of input while the game does not poll (the splash's first second,
# the title's flash): pointer moves must not push keys out of SDL's queue,
# and a quit (Escape, SIGTERM) must end the game even when the queue is
# full of events the game reads.
set -u
bin="$1"
. "$(dirname "$0")/x_session.sh"
x_start

# to_title: a new game process shown at its title, the prompt blinking.
to_title() {
    game_start
    wait_until 15 "the splash logo is shown" splash_shown
    sleep 1.2  # the splash reads the pad from its 62nd frame
    hold z 0.4
    wait_until 15 "the title picture is shown" title_shown
    wait_until 15 "the prompt blinks on under the title" prompt_shown
}
# keys N: one xdotool call that taps x (a button the title ignores) N times.
keys() {
    local args=(key --delay 0) i
    for i in $(seq 1 "$1"); do args+=(x); done
    xdotool "${args[@]}"
}
# flash_then CMD...: starts the title's flash (90 frames without a poll)
# with fire, then runs CMD at once.
flash_then() {
    xdotool keydown space sleep 0.2 keyup space
    "$@"
}
expect_quit() {
    game_ended 5 || fail "$1: the game was still running 5 s later"
    echo "ok: $1 (status $game_status)"
}

echo "--- Right held over the flash, 300 pointer moves, Right released"
to_title
xdotool keydown space sleep 0.2 keyup space keydown Right
moves 300
xdotool keyup Right
wait_until 15 "the game's HUD is drawn" hud_shown
sleep 4  # a cannon left driving would be far from x 10 by now
cannon_home() { [ "$(mean 13 8 10 216)" -gt 300 ] && [ "$(mean 200 8 30 216)" -lt 20 ]; }
wait_until 5 "the cannon stays at x 10 with no key held" cannon_home
kill "$game_pid"
game_ended 5 || fail "SIGTERM in play"

echo "--- 300 pointer moves, then Escape, in the splash's first second"
game_start
wait_until 15 "the splash logo is shown" splash_shown
moves 300
xdotool key Escape
expect_quit "Escape after 300 pointer moves"
[ "$game_status" -eq 0 ] || fail "exit status $game_status after Escape"

echo "--- 300 pointer moves, then SIGTERM, during the title's flash"
to_title
flash_then moves 300
kill -TERM "$game_pid"
expect_quit "SIGTERM after 300 pointer moves"

echo "--- 300 key taps the game reads (a full queue), then SIGTERM, during the flash"
to_title
flash_then keys 300
kill -TERM "$game_pid"
expect_quit "SIGTERM after a full queue of keys"
