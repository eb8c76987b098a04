# Sourced by the real-window tests: a virtual X server of exactly the game's
# size, screenshots of it read back pixel by pixel, and waits for what the
# screen shows. The caller sets `game_pid` to the program it waits on
# (the game, or the replay runner in a window).
tmp="$(mktemp -d)"
xvfb_pid=""
game_pid=""
cleanup() {
    [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT

fail() { echo "FAILED: $*"; [ -f "$tmp/last.png" ] && cp "$tmp/last.png" "$(basename "$0" .sh)_failure.png"; exit 1; }

# The server picks a free display itself (no race with other servers
# starting at the same time) and writes its number once it is ready.
Xvfb -displayfd 3 -screen 0 320x240x24 -nolisten tcp 3>"$tmp/display" >"$tmp/xvfb.log" 2>&1 &
xvfb_pid=$!
for i in $(seq 1 150); do
    [ -s "$tmp/display" ] && break
    sleep 0.1
done
export DISPLAY=":$(tr -d '[:space:]' <"$tmp/display")"
xdotool getdisplaygeometry >/dev/null 2>&1 || fail "the X server did not start"
xdotool mousemove 160 120  # keyboard focus follows the pointer without a window manager

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
# wait_exit SECONDS DESCRIPTION: the program ends within SECONDS with status 0
wait_exit() {
    local end=$((SECONDS + $1))
    while [ $SECONDS -lt $end ] && kill -0 "$game_pid" 2>/dev/null; do sleep 0.1; done
    kill -0 "$game_pid" 2>/dev/null && fail "$2: still running after $1 s"
    local status=0
    wait "$game_pid" || status=$?
    game_pid=""
    [ $status -eq 0 ] || fail "$2: exit status $status"
    echo "ok: $2"
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
