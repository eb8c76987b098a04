#!/usr/bin/env bash
# window_test.sh DIR: the unzipped game (DIR/zultmirax.exe) under Wine on a
# virtual X server larger than the window: it opens a 960x720 window named
# ZULT-MIRAX, centred, whose picture is the runner's (DIR/zultmirax-replay
# .exe) title screen three times over, pixel for pixel (crisp: every pixel
# a 3x3 square); Z sent to it starts a game, Right moves the cannon right,
# F11 fills the screen at the largest whole factor, centred, and back (and
# Alt+Enter), and Escape ends it with status 0. The window has the game's
# icon; the sound (SDL's disk driver) is the mixer's silence, 128, until
# the start sound plays.
set -euo pipefail
dir="$(realpath "$1")"
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/wine_env.sh"
bin="$dir/zultmirax.exe"
. "$here/../system/x_session.sh"
trap 'set +e; x_cleanup; wine_stop' EXIT

x_start 1280x1024
# The expected title: the runner's screenshot after the title is drawn,
# scaled by three (box scaling by a whole factor copies each pixel), with
# the blinking PUSH BUTTON strip (y 180-187) blacked out in both pictures.
# (Wine's server, started here, keeps the display it first saw.)
(cd "$tmp" && wine "$dir/zultmirax-replay.exe" --passes 250 --screenshot 240:title.bmp >"$tmp/out" 2>&1) ||
    fail "the runner did not write the title"
strip=(-fill black -draw "rectangle 0,540 959,563")
convert "$tmp/title.bmp" -scale 300% "${strip[@]}" "$tmp/want.png"
window=""
win_shot() { import -window "$window" "$tmp/last.png" 2>/dev/null; }
geometry() { xwininfo -id "$window" | awk -v k="$1" -F: '$1 ~ k { gsub(/ /, "", $2); print $2 }'; }
title_exact() {
    convert "$tmp/last.png" "${strip[@]}" "$tmp/got.png" &&
        [ "$(compare -metric AE "$tmp/want.png" "$tmp/got.png" null: 2>&1)" = 0 ]
}
# wait_window SECONDS DESCRIPTION COMMAND...: shoots the window until COMMAND succeeds
wait_window() {
    local secs="$1" what="$2"; shift 2
    local end=$((SECONDS + secs))
    while [ $SECONDS -lt $end ]; do
        kill -0 "$game_pid" 2>/dev/null || fail "the game exited while waiting for: $what"
        win_shot && "$@" && { echo "ok: $what"; return 0; }
        sleep 0.2
    done
    fail "$what"
}
# gx X Y: the grey level of game pixel (X, Y), read at its square's centre
gx() { convert "$tmp/last.png" -format "%[fx:int(255*p{$(($1 * 3 + 1)),$(($2 * 3 + 1))}.r+0.5)]" info:; }
hud_shown() { [ "$(gx 240 5)" -eq 255 ] && [ "$(gx 1 224)" -eq 255 ] && [ "$(gx 0 230)" -eq 0 ]; }
# The left edge of what is drawn in the cannon's rows (y 216-223), in game pixels.
cannon_left() { convert "$tmp/last.png" -crop 720x24+0+648 +repage -trim -format "%[fx:int(page.x/3)]" info: 2>/dev/null; }
cannon_shown() { [ "$(cannon_left)" -ge 0 ]; }  # -1: nothing there
cannon_past() { [ "$(cannon_left)" -gt "$1" ]; }
width_is() { [ "$(geometry Width)" = "$1" ]; }

SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$tmp/sound.raw" SDL_DISKAUDIODELAY=8 wine "$bin" >"$tmp/out" 2>&1 &
game_pid=$!
end=$((SECONDS + 180))  # Wine's first start in a new prefix takes long on a loaded machine
while [ -z "$window" ] && [ $SECONDS -lt $end ]; do
    kill -0 "$game_pid" 2>/dev/null || fail "the game exited before its window opened"
    window="$(xdotool search --onlyvisible --name '^ZULT-MIRAX$' 2>/dev/null | head -1 || true)"
    [ -n "$window" ] || sleep 0.2
done
[ -n "$window" ] || fail "no window named ZULT-MIRAX"
echo "ok: a window named ZULT-MIRAX"
[ "$(geometry Width)" = 960 ] && [ "$(geometry Height)" = 720 ] ||
    fail "the window is $(geometry Width)x$(geometry Height), not 960x720"
echo "ok: the window is 960x720"
x="$(geometry 'Absolute upper-left X')"
[ "$x" = 160 ] || fail "the window is not centred across: its left edge is at $x, not 160"
echo "ok: the window is centred"
xprop -id "$window" _NET_WM_ICON | grep -q "Icon (32 x 32)" || fail "the window has no 32x32 icon"
echo "ok: the window has the game's icon"
# sound_bytes: the distinct byte values the sound device was given
sound_bytes() { od -An -v -tu1 "$tmp/sound.raw" | tr -s ' ' '\n' | sed '/^$/d' | sort -u | tr '\n' ' '; }

wait_window 120 "the title, crisp at three times its size" title_exact
[ -s "$tmp/sound.raw" ] && [ "$(sound_bytes)" = "128 " ] || fail "the sound before the first key is not silence: $(sound_bytes)"
echo "ok: the sound device gets silence on the title"
xdotool mousemove --window "$window" 480 360  # the pointer over it: the keyboard's focus
xdotool keydown z && sleep 0.3 && xdotool keyup z
wait_window 60 "Z starts a game (the HUD is drawn)" hud_shown
wait_window 10 "the cannon is drawn" cannon_shown
[ "$(sound_bytes | wc -w)" -gt 8 ] || fail "no sound played when the game started: $(sound_bytes)"
echo "ok: the start sound reached the sound device"
before="$(cannon_left)"
xdotool keydown Right
wait_window 20 "Right moves the cannon right (from x $before)" cannon_past $((before + 8))
xdotool keyup Right

# F11: fullscreen on the 1280x1024 screen is 4x (1280x960), centred.
xdotool key F11
wait_window 30 "F11 fills the screen" width_is 1280
# The screen's top band black, the HUD's divider (x 240) at 4x below it.
at_4x() {
    [ "$(convert "$tmp/last.png" -crop 1280x32+0+0 +repage -format "%[fx:int(1000*maxima)]" info:)" = 0 ] &&
        [ "$(convert "$tmp/last.png" -format "%[fx:int(255*p{961,53}.r+0.5)]" info:)" = 255 ]
}
wait_until 30 "fullscreen shows the game at 4x, centred" at_4x
xdotool key F11
wait_window 30 "F11 again gives the 960x720 window back" width_is 960
xdotool key alt+Return
wait_window 30 "Alt+Enter fills the screen" width_is 1280
xdotool key alt+Return
wait_window 30 "Alt+Enter again gives the window back" width_is 960

xdotool key Escape
game_ended 60 || fail "Escape did not end the game"
[ "$game_status" -eq 0 ] || fail "the game ended with status $game_status"
echo "ok: Escape ends the game with status 0"
