#!/usr/bin/env bash
# Recording and watching as a player uses them, in a real window under a
# virtual X server larger than the game: F11 and Alt+Enter switch fullscreen
# in both modes as in the game; `--record -` writes the script to standard
# output; a watched script plays to its end without --passes; a recording
# onto a full disk warns at once and keeps whole lines that still replay.
set -u
bin="$1"
. "$(dirname "$0")/../system/xvfb.sh"
x_stop
x_start 640x480
wm_start

# The runner's largest window (SDL may make and drop one of its own first).
game_window() {
    local w a best="" area=0
    for w in $(xdotool search --name '^ZULT-MIRAX$' 2>/dev/null); do
        a="$(xwininfo -id "$w" 2>/dev/null | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w * h }')"
        [ "${a:-0}" -gt "$area" ] && { area="$a"; best="$w"; }
    done
    [ -n "$best" ] && echo "$best"
}
# The game's picture, wherever the server placed its window.
shot() {
    local w
    w="$(game_window)" || return 1
    import -window "$w" "$tmp/last.png" 2>/dev/null
}
size_is() {
    local w
    w="$(game_window)" || return 1
    [ "$(xwininfo -id "$w" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')" = "$1" ]
}
# switch KEY SIZE: KEY makes the game's window SIZE (where the SDL layer
# fills a screen; classic SDL, ZM_SDL_SCALES=0, is not asked)
switch() {
    if [ "${ZM_SDL_SCALES:-1}" = 0 ]; then
        xdotool key "$1"
        echo "skip: classic SDL is not asked to switch to fullscreen ($1)"
        return 0
    fi
    local end=$((SECONDS + 10))
    xdotool key "$1"
    while [ $SECONDS -lt $end ]; do
        size_is "$2" && { echo "ok: $1 makes the window $2"; return 0; }
        sleep 0.1
    done
    fail "$1 did not make the window $2"
}

# Recording onto standard output, with both fullscreen keys.
cd "$tmp" || exit 1
SDL_AUDIODRIVER=dummy "$bin" --record - >"$tmp/rec.txt" 2>"$tmp/out" &
game_pid=$!
wait_until 30 "the splash logo is shown while recording" splash_shown
switch alt+Return 640x480
switch alt+Return 320x240
switch F11 640x480
switch F11 320x240
xdotool key Escape
wait_exit 10 "Escape ends the recording to standard output"
[ ! -e "$tmp/-" ] || fail "--record - wrote a file named '-'"
head -1 "$tmp/rec.txt" | grep -q '^# recorded by zultmirax-replay --record' || fail "no head on stdout: $(head -2 "$tmp/rec.txt")"
tail -1 "$tmp/rec.txt" | grep -qE '^# [0-9]+ passes; replay with --passes [0-9]+$' || fail "no closing line on stdout"
grep -qE '^[0-9]+ key down 13$' "$tmp/rec.txt" || fail "Return is not in the recording"
echo "ok: --record - writes the script to standard output"

# Watching: the keys play no part in the game, but still switch fullscreen.
SDL_AUDIODRIVER=dummy "$bin" --watch --input "$tmp/rec.txt" --passes 100000 >"$tmp/out" 2>&1 &
game_pid=$!
wait_until 30 "the splash logo is shown while watching" splash_shown
switch F11 640x480
switch F11 320x240
switch alt+Return 640x480
switch alt+Return 320x240
xdotool key Escape
wait_exit 10 "Escape stops watching"

# Without --passes a watched script plays to its end: the recorder's closing
# count, or the pass after its last event.
printf '5 key down z\n30 key up z\n# 200 passes; replay with --passes 200\n' >"$tmp/closing.txt"
printf '5 key down z\n149 key up z\n' >"$tmp/last.txt"
for case in closing:200 last:150; do
    SDL_AUDIODRIVER=dummy "$bin" --watch --input "$tmp/${case%:*}.txt" --trace "$tmp/watch.csv" >"$tmp/out" 2>&1 &
    game_pid=$!
    wait_exit 20 "watching ${case%:*}.txt ends by itself"
    [ "$(($(wc -l <"$tmp/watch.csv") - 1))" -eq "${case#*:}" ] ||
        fail "${case%:*}.txt: $(($(wc -l <"$tmp/watch.csv") - 1)) passes watched, not ${case#*:}"
    echo "ok: ${case%:*}.txt is watched for its ${case#*:} passes"
done

# A recording onto a full disk: the head fits in the one free page, a burst
# of keys does not.
mkdir "$tmp/full"
if ! mount -t tmpfs -o size=64k zm-full "$tmp/full" 2>/dev/null; then
    echo "SKIPPED: cannot mount a tmpfs for the full-disk recording (needs root)"
    exit 77
fi
full_cleanup() {
    [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null && wait "$game_pid" 2>/dev/null
    game_pid=""
    umount "$tmp/full" 2>/dev/null
    x_cleanup
}
trap full_cleanup EXIT
dd if=/dev/zero of="$tmp/full/fill" bs=4k count=15 2>/dev/null
SDL_AUDIODRIVER=dummy "$bin" --record "$tmp/full/rec.txt" >"$tmp/out" 2>&1 &
game_pid=$!
wait_until 30 "the splash logo is shown while recording onto a full disk" splash_shown
# Two keys in turn: classic SDL takes a release and a press of one key with
# the same time stamp for a key repeat and drops them.
keys=()
for _ in $(seq 1 500); do keys+=(a b); done
xdotool key --delay 1 "${keys[@]}"
end=$((SECONDS + 10))
until grep -q "cannot write '.*full/rec.txt': No space left on device" "$tmp/out"; do
    [ $SECONDS -lt $end ] || fail "no warning while recording onto a full disk: $(cat "$tmp/out"), $(wc -lc <"$tmp/full/rec.txt"), $(df -k "$tmp/full" | tail -1)"
    sleep 0.1
done
kill -0 "$game_pid" || fail "the game ended at the failed write"
echo "ok: the first failed write is warned of at once, with its reason, and the game goes on"
xdotool key Escape
game_ended 10 || fail "Escape did not end the recording"
[ "$game_status" -eq 1 ] || fail "a recording that lost its end exited with $game_status"
stop="$(sed -nE 's/.*keeps the events before pass ([0-9]+).*/\1/p' "$tmp/out" | head -1)"
[ -n "$stop" ] || fail "no pass named: $(cat "$tmp/out")"
[ "$(tail -c 1 "$tmp/full/rec.txt" | od -An -c | tr -d ' ')" = '\n' ] || fail "the recording ends in half a line"
grep -qE '^[0-9]+ key down 97$' "$tmp/full/rec.txt" || fail "no key of the burst was kept"
"$bin" --input "$tmp/full/rec.txt" --passes "$stop" >"$tmp/replay.out" 2>&1 ||
    fail "the kept recording does not replay: $(cat "$tmp/replay.out")"
[ ! -s "$tmp/replay.out" ] || fail "replaying the kept recording: $(cat "$tmp/replay.out")"
echo "ok: the recording keeps $(grep -c 'key' "$tmp/full/rec.txt") whole lines, replayed to pass $stop"
