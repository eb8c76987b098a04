#!/usr/bin/env bash
# The game's display going away: its window's X connection killed from
# outside at random moments (splash, title, play). The game must end by
# itself, never by a signal such as SIGSEGV or SIGPIPE; a non-zero status is
# fine. Then the same on a server without MIT-SHM at the launcher's 3x
# software path, where every frame is a large write to the socket: a write
# after the server has gone must not end the game by SIGPIPE.
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

# pipe_ignored: the game ignores SIGPIPE (13, bit 12 of SigIgn) once it
# has started, within 5 s.
pipe_ignored() {
    local mask i
    for i in $(seq 1 50); do
        mask="$(awk '/^SigIgn:/ { print $2 }' "/proc/$game_pid/status" 2>/dev/null)"
        [ -n "$mask" ] && [ $((0x$mask >> 12 & 1)) -eq 1 ] && return 0
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
    pipe_ignored || fail "run $run: SIGPIPE is not ignored while the game draws"
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

# No MIT-SHM, 3x through SDL's software renderer: each frame is a 2.7 MB
# write. The kill comes at random in the first seconds.
x_stop
XVFB_ARGS="-extension MIT-SHM" x_start 1024x768
for run in $(seq 1 "$((runs / 2))"); do
    SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy SDL12COMPAT_WINDOW_SCALING=3 SDL12COMPAT_SCALE_METHOD=nearest \
        SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0 "$bin" >"$tmp/out" 2>&1 &
    game_pid=$!
    game_window || fail "no-SHM run $run: no window of the game"
    pipe_ignored || fail "no-SHM run $run: SIGPIPE is not ignored while the game draws"
    sleep "0.$((RANDOM % 10))$((RANDOM % 10))"
    game_window || fail "no-SHM run $run: the window went away"
    xdotool windowkill "$win" 2>/dev/null
    game_ended 10 || fail "no-SHM run $run: still running 10 s after its display went away"
    [ "$game_status" -lt 128 ] || fail "no-SHM run $run: ended by signal $((game_status - 128))"
    echo "ok: no-SHM run $run ended with status $game_status"
done
