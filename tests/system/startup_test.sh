#!/usr/bin/env bash
# Start-up failures of the real binary, and SDL's quit event ending it.
# Takes the command that starts the game (an emulator's words, then the
# binary, in a cross build).
set -u
bin=("$@")
fail=0
check() { # description, condition result
    if [ "$2" -eq 0 ]; then echo "ok: $1"; else echo "FAILED: $1"; fail=1; fi
}
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

# No display: the message on standard output, status 255, nothing started.
SDL_VIDEODRIVER=no-such-driver SDL_AUDIODRIVER=dummy "${bin[@]}" >"$tmp/out" 2>"$tmp/err"
status=$?
check "no display exits with status 255 (got $status)" "$([ $status -eq 255 ]; echo $?)"
check "no display prints the start-up error line" "$(printf 'SDL initialize error.\n' | cmp -s - "$tmp/out"; echo $?)"

# No display at all and no driver chosen: SDL would fall back to a headless
# driver and run the game unseen for ever; it must fail to start instead.
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy \
    timeout 20 "${bin[@]}" >"$tmp/out" 2>"$tmp/err"
status=$?
check "with no display the game exits with status 255 (got $status)" "$([ $status -eq 255 ]; echo $?)"
# (Its last line: a text-art driver that SDL tried first may have written
# its terminal codes before it.)
check "with no display it prints the start-up error line" "$(tail -n 1 "$tmp/out" | grep -q 'SDL initialize error\.$'; echo $?)"
# The same with a display variable that leads nowhere.
env -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER DISPLAY=:0.99-nowhere SDL_AUDIODRIVER=dummy \
    timeout 20 "${bin[@]}" >"$tmp/out" 2>"$tmp/err"
status=$?
check "with an unreachable display the game exits with status 255 (got $status)" "$([ $status -eq 255 ]; echo $?)"

# Runs until SDL's quit event (SDL turns SIGTERM into one): the splash polls
# the pad from its 62nd frame, about one second in, and the program then
# shuts down in order with status 0.
# quit_after READY env...: READY is a number of seconds to wait, or a file
# that appears once SDL is running (the disk audio driver's output, opened
# after SDL's signal handling is in place): a slow machine then needs no
# guess of how long starting takes.
quit_after() {
    local ready="$1"; shift
    env "$@" "${bin[@]}" >"$tmp/out" 2>"$tmp/err" &
    local pid=$!
    if [[ "$ready" =~ ^[0-9.]+$ ]]; then
        sleep "$ready"
    else
        local i
        for i in $(seq 1 600); do
            [ -e "$ready" ] || ! kill -0 "$pid" 2>/dev/null && break
            sleep 0.05
        done
    fi
    kill -0 "$pid" 2>/dev/null || { wait "$pid"; echo "exited early with $?"; return 1; }
    kill -TERM "$pid"
    local i
    for i in $(seq 1 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        kill -KILL "$pid"; echo "did not quit within 10 s"; return 1
    fi
    wait "$pid"
}

quit_after "$tmp/audio" SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$tmp/audio"
status=$?
check "a quit event during the splash ends the program with status 0 (got $status)" "$([ $status -eq 0 ]; echo $?)"

# A headless driver chosen on purpose still runs, display or not.
quit_after 1.5 -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
status=$?
check "SDL_VIDEODRIVER=dummy without a display runs and quits with status 0 (got $status)" "$([ $status -eq 0 ]; echo $?)"

# No usable sound system: the game still starts and plays, silently.
quit_after 1.5 SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=no-such-driver
status=$?
check "without a sound system the game runs and quits with status 0 (got $status)" "$([ $status -eq 0 ]; echo $?)"
check "without a sound system nothing is printed" "$([ ! -s "$tmp/out" ]; echo $?)"

exit $fail
