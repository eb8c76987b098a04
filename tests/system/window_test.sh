#!/usr/bin/env bash
# The real game in a real window: a virtual X server, keys sent through
# XTEST, screenshots read back pixel by pixel.
# splash -> fire -> title -> fire -> game, some moves and shots, Escape.
#
# window_test.sh PROGRAM: the bare game on a screen of exactly its size.
# window_test.sh LAUNCHER --launcher: the game as the menu starts it, on a
# desktop screen under a window manager: a 960x720 window titled ZULT-MIRAX
# whose every game pixel is a crisp 3x3 block, and F11 / Alt+Enter switching
# to a fullscreen picture scaled at the game's aspect ratio and back.
#
# Every step waits for the state it looks for rather than a fixed time, so
# a slow machine (the game under an emulator) only takes longer. PROGRAM may
# be a command of several words (an emulator's, then the binary, in a cross
# build).
set -u
bin=("$@")
launcher=0
if [ "${bin[-1]}" = --launcher ]; then
    launcher=1
    unset 'bin[-1]'
fi
scale=1
screen=320x240
[ $launcher -eq 1 ] && { scale=3; screen=1920x1080; }
# Scaling the window and filling the screen are the compatibility layer's
# (ZM_SDL_SCALES=1); classic SDL 1.2 shows the launcher's game at 1x, with
# the same title and icon, and is not asked for fullscreen here.
[ $launcher -eq 1 ] && [ "${ZM_SDL_SCALES:-1}" = 0 ] && scale=1
win="$((320 * scale))x$((240 * scale))"
. "$(dirname "$0")/x_session.sh"
x_start "$screen"
[ $launcher -eq 1 ] && wm_start

# The launcher's defaults must come from the launcher, not from here (a
# window path asked for with ZM_WINDOW_PATH passes through).
unset SDL12COMPAT_WINDOW_SCALING SDL12COMPAT_SCALE_METHOD ZULTMIRAX_FULLSCREEN \
    SDL_RENDER_DRIVER SDL_FRAMEBUFFER_ACCELERATION
SDL_AUDIODRIVER=dummy "${bin[@]}" >"$tmp/out" 2>&1 &
game_pid=$!

wid=""
settling=0
if [ $launcher -eq 1 ]; then
    # The largest window of that name: classic SDL names its icon's window
    # the same.
    largest() {
        local w best="" area=0 a
        for w in $(xdotool search --name '^ZULT-MIRAX$' 2>/dev/null); do
            a="$(xwininfo -id "$w" 2>/dev/null | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w * h }')"
            [ "${a:-0}" -gt "$area" ] && { area="$a"; best="$w"; }
        done
        [ "$area" -ge $((320 * 240)) ] && echo "$best"
    }
    for i in $(seq 1 100); do
        wid="$(largest)"
        [ -n "$wid" ] && break
        sleep 0.1
    done
    [ -n "$wid" ] || fail "no window titled ZULT-MIRAX"
    echo "ok: the window is titled ZULT-MIRAX"
    xprop -id "$wid" WM_NAME | grep -qx 'WM_NAME(STRING) = "ZULT-MIRAX"' || fail "WM_NAME: $(xprop -id "$wid" WM_NAME)"
    if [ $scale -eq 3 ]; then
        xprop -id "$wid" _NET_WM_ICON | grep -q 'Icon (32 x 32)' || fail "the window has no 32x32 icon"
        echo "ok: the window has the menu's icon at 32x32"
    else
        # Classic SDL hands its icon over as a pixmap in the window's hints.
        xprop -id "$wid" WM_HINTS | grep -qi 'icon' || fail "the window has no icon: $(xprop -id "$wid" WM_HINTS)"
        echo "ok: the window has an icon"
    fi
    size() { xwininfo -id "$wid" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'; }
    [ "$(size)" = "$win" ] || fail "the window is $(size), not $win"
    echo "ok: the window is $win"
    xdotool windowactivate --sync "$wid" >/dev/null 2>&1 || xdotool windowfocus "$wid"
    if [ $scale -eq 3 ]; then
        # The window is drawn the way the launcher chose: OpenGL is loaded
        # on SDL's default path only.
        path=default
        "${bin[@]}" --window-env | grep -qx SDL_RENDER_DRIVER=software && path=software
        gl=0
        grep -qE '/libGL(X)?\.so' "/proc/$game_pid/maps" && gl=1
        [ "$path-$gl" = software-0 ] || [ "$path-$gl" = default-1 ] ||
            fail "on the $path path, OpenGL loaded is $gl: $(grep -oE '/[^ ]*libGL[^ ]*' "/proc/$game_pid/maps" | sort -u)"
        echo "ok: the window is drawn on the $path path the launcher chose"
    fi
fi

# The last shot, as the game's own 320x240 screen. Through the launcher the
# window must show each game pixel as a uniform 3x3 block (sampling every
# third pixel and blowing it up again gives back the very same picture), and
# the game's screen is that sample.
shot() {
    if [ $launcher -eq 0 ]; then
        import -window root "$tmp/last.png" 2>/dev/null
        return
    fi
    import -window "$wid" "$tmp/window.png" 2>/dev/null || return 1
    convert "$tmp/window.png" -filter point -sample 320x240 "$tmp/last.png" || return 1
    convert "$tmp/last.png" -sample "$win" "$tmp/blocks.png" || return 1
    local diff
    diff="$(compare -metric AE "$tmp/window.png" "$tmp/blocks.png" null: 2>&1)"
    if [ "$diff" != 0 ]; then
        # Right after a switch of mode the window may still be settling.
        [ "$settling" -eq 1 ] && return 1
        cp "$tmp/window.png" "$tmp/last.png"
        fail "not crisp 3x3 blocks: $diff pixels differ"
    fi
}
# wait_for SECONDS DESCRIPTION COMMAND...: retries COMMAND until it succeeds
wait_for() {
    local secs="$1" what="$2"; shift 2
    local end=$((SECONDS + secs))
    while [ $SECONDS -lt $end ]; do
        kill -0 "$game_pid" 2>/dev/null || fail "the game exited while waiting for: $what"
        "$@" && { echo "ok: $what"; return 0; }
        sleep 0.1
    done
    fail "$what"
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
[ $launcher -eq 1 ] && echo "ok: every shot of the window was crisp ${scale}x${scale} blocks"

if [ $launcher -eq 1 ] && [ $scale -eq 3 ]; then
    # Fullscreen: the whole screen, the 4:3 picture scaled to its height and
    # centred between black bars; the game goes on and comes back windowed.
    mode_is() { [ "$(size)" = "$1" ]; }
    root_shot() { import -window root "$tmp/root.png" 2>/dev/null; }
    rmean() { convert "$tmp/root.png" -crop "$1x$2+$3+$4" +repage -format "%[fx:int(1000*mean)]" info:; }
    filled() {
        root_shot && [ "$(rmean 240 1080 0 0)" -eq 0 ] && [ "$(rmean 240 1080 1680 0)" -eq 0 ] &&
            [ "$(rmean 60 40 1700 1030)" -eq 0 ] &&                             # no picture in the right bar
            [ "$(rmean 1060 30 250 1030)" -gt 900 ] &&                          # the floor band, 4.5 times its size
            [ "$(rmean 2 900 1323 90)" -gt 900 ]                                 # the divider at x 240
    }
    toggle() { settling=1; xdotool key "$1"; wait_for 10 "$1 makes the window $2" mode_is "$2"; }
    back() { wait_until 10 "$1" hud_shown; settling=0; }
    toggle F11 1920x1080
    wait_for 10 "F11: the picture fills the screen's height at 4:3, centred" filled
    toggle F11 "$win"
    back "F11 again: back to the crisp window, the game still drawn"
    toggle alt+Return 1920x1080
    wait_for 10 "Alt+Enter: fullscreen, filled" filled
    toggle alt+Return "$win"
    back "Alt+Enter again: windowed, the game still drawn"
    cp "$tmp/window.png" "window_test_scaled.png"  # the screenshot for the docs
fi

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
