# Sourced by the tests that run the real game under a virtual X server of
# exactly the game's size: the server, the game, screenshots read back pixel
# by pixel, and waits for states rather than for fixed times.
# The sourcing script sets bin (the game) before calling x_start, and
# wm_pid if it starts a window manager.
tmp="$(mktemp -d)"
xvfb_pid=""
wm_pid=""
game_pid=""
x_cleanup() {
    [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$tmp"
}
trap x_cleanup EXIT

fail() {
    echo "FAILED: $*"
    [ -s "$tmp/out" ] && sed "s/^/  game: /" "$tmp/out" | tail -5
    [ -f "$tmp/last.png" ] && cp "$tmp/last.png" "$(basename "$0" .sh)_failure.png"
    [ -f "$tmp/root.png" ] && cp "$tmp/root.png" "$(basename "$0" .sh)_screen_failure.png"
    exit 1
}

# x_start [WxH]: a server on a free display, of the game's size unless
# given, with XVFB_ARGS added to its options; DISPLAY is exported. The server picks the number itself and reports
# it once it is ready: no race with other servers starting at the same time,
# in this /tmp or another one. -noreset: by default the server resets when
# its last client leaves (each xdotool call, each game that ends), and a
# client that connects during the reset is refused (2 in 1000 on a loaded
# machine).
x_start() {
    rm -f "$tmp/display"
    # shellcheck disable=SC2086 # XVFB_ARGS: more options, split at spaces
    Xvfb -displayfd 3 -screen 0 "${1:-320x240}x24" -nolisten tcp -noreset ${XVFB_ARGS-} 3>"$tmp/display" >"$tmp/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 1 150); do
        grep -q "^[0-9][0-9]*$" "$tmp/display" 2>/dev/null && break  # the whole number, not part of it
        sleep 0.1
    done
    [ -s "$tmp/display" ] || fail "the X server did not start: $(cat "$tmp/xvfb.log")"
    export DISPLAY=":$(tr -d '[:space:]' <"$tmp/display")"
    for _ in $(seq 1 100); do
        xdotool getdisplaygeometry >/dev/null 2>&1 && break
        sleep 0.1
    done
    xdotool getdisplaygeometry >/dev/null 2>&1 || fail "the X server did not start: $(cat "$tmp/xvfb.log")"
    xdotool mousemove 160 120  # keyboard focus follows the pointer without a window manager
}

# wm_start: a window manager on the server (fullscreen is asked of it); one
# that finds the new server not yet taking clients is started again.
wm_up() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
wm_start() {
    local try i
    for try in 1 2 3; do
        openbox --sm-disable >"$tmp/wm.log" 2>&1 &
        wm_pid=$!
        for i in $(seq 1 100); do
            wm_up && break
            kill -0 "$wm_pid" 2>/dev/null || break
            sleep 0.1
        done
        wm_up && break
        sleep 0.5
    done
    wm_up || fail "the window manager did not start: $(cat "$tmp/wm.log")"
}

# x_stop: ends the server (the next x_start takes a new one).
x_stop() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
}

# game_start: the game in the background, its output in $tmp/out.
game_start() {
    # x11 alone: no fall-back to a driver that shows nothing on this server
    SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}" "$bin" >"$tmp/out" 2>&1 &
    game_pid=$!
}

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
# x_wait SECONDS COMMAND...: like wait_until, but false when the game exits
# or the time runs out.
x_wait() {
    local end=$((SECONDS + $1)); shift
    while [ $SECONDS -lt $end ]; do
        kill -0 "$game_pid" 2>/dev/null || return 1
        shot && "$@" && return 0
        sleep 0.1
    done
    return 1
}
# game_ended SECONDS: true when the game has exited within SECONDS; its
# status is then in game_status.
game_ended() {
    local i
    for i in $(seq 1 $(($1 * 10))); do
        kill -0 "$game_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$game_pid" 2>/dev/null && return 1
    wait "$game_pid"
    game_status=$?
    game_pid=""
    return 0
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

# moves N: one xdotool call that moves the pointer N times over the window.
moves() {
    local args=() i
    for i in $(seq 1 "$1"); do args+=(mousemove $((40 + i % 200)) $((40 + i % 150))); done
    xdotool "${args[@]}"
}
