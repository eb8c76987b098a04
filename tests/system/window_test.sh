#!/usr/bin/env bash
# The real game in a real window: a virtual X server of exactly the game's
# size, keys sent through XTEST, screenshots read back pixel by pixel.
# splash -> fire -> title -> fire -> game, some moves and shots, Escape.
# Every step waits for the state it looks for rather than a fixed time, so
# a slow machine (the game under an emulator) only takes longer.
# Takes the command that starts the game (an emulator's words, then the
# binary, in a cross build).
set -u
bin=("$@")
tmp="$(mktemp -d)"
xvfb_pid=""
game_pid=""
cleanup() {
    [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT

fail() {
    echo "FAILED: $*"
    [ -s "$tmp/out" ] && { echo "the game printed:"; cat "$tmp/out"; }
    [ -f "$tmp/last.png" ] && cp "$tmp/last.png" "window_test_failure.png"
    exit 1
}

# The server picks a free display itself and reports it: a check of
# /tmp/.X11-unix would miss a server of another /tmp (in a chroot) holding
# the number through its abstract socket, and the game would then play in
# that server's screen.
Xvfb -displayfd 3 -screen 0 320x240x24 -nolisten tcp 3>"$tmp/display" >"$tmp/xvfb.log" 2>&1 &
xvfb_pid=$!
for i in $(seq 1 100); do
    [ -s "$tmp/display" ] && break
    sleep 0.1
done
[ -s "$tmp/display" ] || fail "the X server did not start: $(cat "$tmp/xvfb.log")"
disp=":$(head -1 "$tmp/display")"
export DISPLAY="$disp"
for i in $(seq 1 100); do
    xdotool getdisplaygeometry >/dev/null 2>&1 && break
    sleep 0.1
done
xdotool getdisplaygeometry >/dev/null 2>&1 || fail "the X server did not start"
xdotool mousemove 160 120  # keyboard focus follows the pointer without a window manager

SDL_AUDIODRIVER=dummy "${bin[@]}" >"$tmp/out" 2>&1 &
game_pid=$!

shot() { import -window root "$tmp/last.png" 2>/dev/null; }
# grey X Y: the red channel (= the grey level) of one pixel of the last shot
grey() { /usr/bin/convert "$tmp/last.png" -format "%[fx:int(255*p{$1,$2}.r+0.5)]" info:; }
# mean W H X Y: mean brightness (0-1000) of a region of the last shot
mean() { /usr/bin/convert "$tmp/last.png" -crop "$1x$2+$3+$4" +repage -format "%[fx:int(1000*mean)]" info:; }
# wait_until SECONDS DESCRIPTION COMMAND...: shoots until COMMAND succeeds
wait_until() {
    local secs="$1" what="$2"; shift 2
    local end=$((SECONDS + secs))
    while [ $SECONDS -lt $end ]; do
        kill -0 "$game_pid" 2>/dev/null || fail "the game exited while waiting for: $what"
        shot && "$@" && { echo "ok: $what"; return 0; }
        sleep 0.1
    done
    fail "$what"
}
hold() { xdotool keydown "$1"; sleep "$2"; xdotool keyup "$1"; }

splash_shown() { [ "$(grey 241 120)" -eq 150 ] && [ "$(grey 20 20)" -eq 0 ]; }
title_shown() { [ "$(mean 243 142 40 21)" -gt 20 ] && [ "$(mean 320 60 0 180)" -lt 200 ]; }
prompt_shown() { [ "$(mean 88 8 116 180)" -gt 50 ]; }
hud_shown() {
    [ "$(grey 240 5)" -eq 255 ] && [ "$(grey 241 235)" -eq 255 ] &&  # divider
    [ "$(grey 1 224)" -eq 255 ] && [ "$(grey 239 239)" -eq 255 ] &&  # floor band
    [ "$(grey 0 230)" -eq 0 ]                                         # its black left column
}

# press_until SECONDS DESCRIPTION KEY COMMAND...: taps KEY until COMMAND
# succeeds; a screen reads the pad only from some frame on, which comes
# late on a slow machine.
press_until() {
    local secs="$1" what="$2" key="$3"; shift 3
    local end=$((SECONDS + secs))
    while [ $SECONDS -lt $end ]; do
        kill -0 "$game_pid" 2>/dev/null || fail "the game exited while waiting for: $what"
        hold "$key" 0.2
        local i
        for i in 1 2 3 4 5; do
            shot && "$@" && { echo "ok: $what"; return 0; }
            sleep 0.1
        done
    done
    fail "$what"
}

wait_until 60 "the splash logo is shown" splash_shown
press_until 60 "the title picture is shown" z title_shown
wait_until 60 "the prompt blinks on under the title" prompt_shown
press_until 60 "the game's HUD is drawn" space hud_shown
[ "$(mean 78 8 242 200)" -gt 50 ] || fail "the title words on the HUD panel"

# Slide right for a while, firing now and then; the cannon must have left
# its starting place at x 10 and the HUD must still stand.
# The cannon blinks while it arrives, so look until a shot catches it.
cannon_moved() { [ "$(mean 13 8 10 216)" -lt 300 ] && [ "$(mean 200 8 30 216)" -gt 0 ]; }
xdotool keydown Right
for i in 1 2 3; do hold space 0.15; sleep 0.2; done
wait_until 60 "the cannon has moved right from x 10" cannon_moved
xdotool keyup Right
hud_shown || fail "the HUD after play"

xdotool key Escape
for i in $(seq 1 300); do
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$game_pid" 2>/dev/null && fail "Escape did not end the program within 30 s"
wait "$game_pid"
status=$?
game_pid=""
[ $status -eq 0 ] || fail "exit status $status after Escape"
echo "ok: Escape ends the program with status 0"
