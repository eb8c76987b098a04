#!/usr/bin/env bash
# The game's display going away: its window's X connection killed from
# outside at random moments (splash, title, play). The game must end by
# itself, never by a signal such as SIGSEGV; a non-zero status is fine.
set -u
bin="$1"
runs="${2:-16}"
. "$(dirname "$0")/x_session.sh"
x_start

# game_window: sets win to the game's visible window, waiting up to 10 s.
game_window() {
    local i
    for i in $(seq 1 100); do
        win="$(xdotool search --onlyvisible --classname zultmirax 2>/dev/null | head -1)"
        [ -n "$win" ] && return 0
        sleep 0.1
    done
    return 1
}

crashes=0
for run in $(seq 1 "$runs"); do
    # The window is looked up once the splash shows: at start SDL makes and
    # drops a window of its own before the game's. A start that finds the
    # server busy with the last kill is tried again.
    for try in 1 2 3; do
        game_start
        x_wait 15 splash_shown && break
        kill -0 "$game_pid" 2>/dev/null && fail "run $run: the splash did not show"
        game_pid=""
        echo "run $run: start $try failed: $(head -1 "$tmp/out")"
    done
    [ -n "$game_pid" ] || fail "run $run: the game did not start"
    # Mostly the splash (the first 3 s); every fourth run first starts a game.
    if [ $((run % 4)) -eq 0 ]; then
        sleep 1.2
        hold z 0.4
        wait_until 15 "the title picture is shown" title_shown
        hold space 0.3
    fi
    sleep "$((RANDOM % 3)).$((RANDOM % 10))"
    game_window || fail "run $run: no window of the game to kill"
    xdotool windowkill "$win" 2>/dev/null
    if ! game_ended 10; then
        fail "run $run: the game was still running 10 s after its display went away"
    fi
    if [ "$game_status" -ge 128 ]; then
        echo "run $run: ended by signal $((game_status - 128))"
        crashes=$((crashes + 1))
    else
        echo "ok: run $run ended with status $game_status"
    fi
done
[ "$crashes" -eq 0 ] || fail "$crashes of $runs runs ended by a signal"
