#!/usr/bin/env bash
# startup_failure_test.sh DIR: a Windows program has no visible standard
# output, so the unzipped game (DIR/zultmirax.exe, under Wine on a virtual
# X server) tells the player why it cannot start in a message box, and
# writes it to standard error too: with no display it shows the box, and
# exits with status -1 once the player closes it, after the usual line on
# standard output; with no sound device it shows a warning box and, once
# closed, plays on silent.
set -euo pipefail
dir="$(realpath "$1")"
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/wine_env.sh"
bin="$dir/zultmirax.exe"
. "$here/../system/x_session.sh"
trap 'set +e; x_cleanup; wine_stop' EXIT
x_start 1280x1024

width() { xwininfo -id "$1" | awk -F: '$1 ~ /Width/ { gsub(/ /, "", $2); print $2 }'; }
# box_wait SECONDS: the id of a window named ZULT-MIRAX that is not the
# game's 960x720 one: the message box.
box_wait() {
    local end=$((SECONDS + $1)) id
    while [ $SECONDS -lt $end ]; do
        kill -0 "$game_pid" 2>/dev/null || return 1
        for id in $(xdotool search --onlyvisible --name '^ZULT-MIRAX$' 2>/dev/null || true); do
            [ "$(width "$id")" != 960 ] && { echo "$id"; return 0; }
        done
        sleep 0.2
    done
    return 1
}
# box_close ID: the pointer over the box gives it the keyboard; Enter presses OK.
box_close() {
    xdotool mousemove --window "$1" 20 20
    xdotool key Return
}

# No display: an SDL video driver that does not exist.
SDL_VIDEODRIVER=none SDL_AUDIODRIVER=dummy wine "$bin" >"$tmp/out" 2>"$tmp/err" &
game_pid=$!
box="$(box_wait 180)" || fail "no message box when the display cannot start"
echo "ok: a message box when the display cannot start"
box_close "$box"
game_ended 60 || fail "the game did not end when its failure box was closed"
[ "$game_status" -eq 255 ] || fail "the game ended with status $game_status, not -1 (255)"
tr -d '\r' <"$tmp/out" | grep -qx "SDL initialize error." || fail "no 'SDL initialize error.' on standard output"
grep -q "cannot start: SDL could not open the display" "$tmp/err" || fail "the reason is not on standard error: $(cat "$tmp/err")"
echo "ok: then the game exits with status -1, the reason on standard output and standard error"

# No sound device: an SDL audio driver that does not exist.
SDL_AUDIODRIVER=none wine "$bin" >"$tmp/out" 2>"$tmp/err" &
game_pid=$!
box="$(box_wait 120)" || fail "no message box when there is no sound device"
echo "ok: a message box when there is no sound device"
grep -q "No sound: the game plays silent" "$tmp/err" || fail "the reason is not on standard error: $(cat "$tmp/err")"
box_close "$box"
game=""
end=$((SECONDS + 60))
while [ -z "$game" ] && [ $SECONDS -lt $end ]; do
    for id in $(xdotool search --onlyvisible --name '^ZULT-MIRAX$' 2>/dev/null || true); do
        [ "$(width "$id")" = 960 ] && game="$id"
    done
    box_wait 0 >/dev/null && game=""  # the box is still up
    [ -n "$game" ] || sleep 0.2
done
[ -n "$game" ] || fail "the game's window is not there, alone, after the box was closed"
xdotool mousemove --window "$game" 480 360
xdotool key Escape
game_ended 60 || fail "Escape did not end the silent game"
[ "$game_status" -eq 0 ] || fail "the silent game ended with status $game_status"
echo "ok: once the box is closed the game plays on silent, and Escape ends it with status 0"
