#!/usr/bin/env bash
# Record a live game in a real window (keys through XTEST), replay the
# recording headless: the two traces and event logs are identical. Then
# watch the recording in the window: the same trace again; and Escape
# stops a watch early, its trace a prefix of the headless one.
set -u
bin="$1"
. "$(dirname "$0")/../system/xvfb.sh"

SDL_AUDIODRIVER=dummy "$bin" --record "$tmp/rec.txt" --trace "$tmp/live.csv" --events "$tmp/live-events.csv" \
    >"$tmp/out" 2>&1 &
game_pid=$!
wait_until 30 "the splash logo is shown while recording" splash_shown
sleep 1.2  # the splash reads the pad from its 62nd frame
hold z 0.4
wait_until 30 "the title picture is shown" title_shown
wait_until 30 "the prompt blinks on under the title" prompt_shown
hold space 0.4
wait_until 30 "the game's HUD is drawn" hud_shown
xdotool keydown Right
for i in 1 2 3; do hold space 0.15; sleep 0.2; done
xdotool keyup Right
hold Left 0.3
sleep 0.5
xdotool key Escape
wait_exit 10 "Escape ends the recording with status 0"

rec="$tmp/rec.txt"
grep -q ' key down space$' "$rec" && grep -q ' key up right$' "$rec" || fail "keys missing from the recording"
passes="$(sed -nE 's/^# ([0-9]+) passes; replay with --passes ([0-9]+)$/\2/p' "$rec")"
[ -n "$passes" ] || fail "no closing line in the recording: $(tail -1 "$rec")"
# The Escape is polled in the pass it enters, the next pass's quit test ends
# the game (its release may enter there too).
escape="$(sed -nE 's/^([0-9]+) key down escape$/\1/p' "$rec" | tail -1)"
[ -n "$escape" ] && [ "$escape" -eq $((passes - 2)) ] ||
    fail "Escape at pass '$escape' of $passes: $(tail -4 "$rec" | tr '\n' '|')"
echo "ok: $(grep -cv '^#' "$rec") events recorded over $passes passes"

"$bin" --input "$rec" --passes "$passes" --trace "$tmp/replay.csv" --events "$tmp/replay-events.csv" ||
    fail "the headless replay failed"
cmp "$tmp/live.csv" "$tmp/replay.csv" || fail "the replay's trace differs from the live game's"
cmp "$tmp/live-events.csv" "$tmp/replay-events.csv" || fail "the replay's event log differs from the live game's"
# The game was played: the cannon moved and fired (columns by name).
played="$(awk -F, 'NR == 1 { for (i = 1; i <= NF; i++) c[$i] = i; next }
    $c["state"] == 6 && $c["cannon_x"] != 10 { moved = 1 } $c["shot_count"] > 0 { fired = 1 }
    END { print moved + 0, fired + 0 }' "$tmp/replay.csv")"
[ "$played" = "1 1" ] || fail "the recorded game neither moved nor fired ($played)"
echo "ok: the headless replay has the live game's $(($(wc -l <"$tmp/replay.csv") - 1)) trace rows and its event log"

# Watching the recording to its end shows the same game.
SDL_AUDIODRIVER=dummy "$bin" --watch --input "$rec" --trace "$tmp/watch.csv" >"$tmp/out" 2>&1 &
game_pid=$!
wait_until 30 "the splash logo is shown while watching" splash_shown
wait_exit 120 "watching ends with the recorded quit"
cmp "$tmp/watch.csv" "$tmp/replay.csv" || fail "the watched trace differs from the headless one"
echo "ok: the watched trace is the headless one"

# Escape stops watching; what ran is the start of the headless run.
SDL_AUDIODRIVER=dummy "$bin" --watch --input "$rec" --trace "$tmp/stopped.csv" >"$tmp/out" 2>&1 &
game_pid=$!
wait_until 30 "the splash logo is shown while watching again" splash_shown
xdotool key Escape
wait_exit 10 "Escape stops watching"
rows="$(wc -l <"$tmp/stopped.csv")"
[ "$rows" -gt 1 ] && [ "$rows" -lt "$(wc -l <"$tmp/replay.csv")" ] || fail "a stopped watch wrote $rows lines"
head -n "$rows" "$tmp/replay.csv" | cmp - "$tmp/stopped.csv" || fail "the stopped watch's trace is not the headless start"
echo "ok: a watch stopped by Escape wrote the first $((rows - 1)) rows of the headless trace"
