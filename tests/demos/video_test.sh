#!/usr/bin/env bash
# The replay as a video: decoded again, it has one frame per paced present
# at 62.5 frames a second, the picture at the asked scale, and a sound track
# that is silent until the first sound and starts it within one frame of the
# picture that shows its cause.
set -eu
bin="$1"
script="$2"
command -v ffmpeg >/dev/null && command -v ffprobe >/dev/null || { echo "SKIPPED: no ffmpeg"; exit 77; }
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAILED: $*"; exit 1; }

# probe FILE STREAM ENTRY: one value of one stream
probe() { ffprobe -v error -count_frames -select_streams "$2" -show_entries "stream=$3" -of csv=p=0 "$1"; }
# near A B TOLERANCE: |A - B| <= TOLERANCE, in real numbers
near() { awk -v a="$1" -v b="$2" -v t="$3" 'BEGIN { d = a - b; exit !(d <= t && -d <= t) }'; }

# The first sound of the game script plays during its splash.
"$bin" --input "$script" --passes 400 --events "$tmp/events.csv" --video "$tmp/game.mp4" ||
    fail "the runner could not write the video"
presents="$(grep -c '^[0-9]*,present,0' "$tmp/events.csv")"
[ "$(probe "$tmp/game.mp4" v width,height)" = "960,720" ] || fail "frame size $(probe "$tmp/game.mp4" v width,height)"
frames="$(probe "$tmp/game.mp4" v nb_read_frames)"
[ "$frames" -eq "$presents" ] || fail "$frames frames for $presents presents"
[ "$(probe "$tmp/game.mp4" v r_frame_rate)" = "125/2" ] || fail "frame rate $(probe "$tmp/game.mp4" v r_frame_rate)"
duration="$(probe "$tmp/game.mp4" v duration)"
near "$duration" "$(awk -v n="$presents" 'BEGIN { print n * 0.016 }')" 0.016 || fail "video lasts $duration s"
echo "ok: $frames frames of 960x720 at 62.5 a second, $duration s"
[ "$(probe "$tmp/game.mp4" a sample_rate)" = 8000 ] || fail "sound at $(probe "$tmp/game.mp4" a sample_rate) Hz"
near "$(probe "$tmp/game.mp4" a duration)" "$duration" 0.064 || fail "sound lasts $(probe "$tmp/game.mp4" a duration) s"

# The first Snd_Play of a sound comes after M presents; present M+1 shows
# what caused it, from M * 16 ms into the video.
picture_ms="$(awk -F, '$2 == "present" && $3 == 0 { n++ } $2 == "snd" && $4 != 0 { print n * 16; exit }' \
    "$tmp/events.csv")"
[ -n "$picture_ms" ] || fail "no sound played in the first 400 passes"
ffmpeg -v error -i "$tmp/game.mp4" -map 0:a -f u8 -ac 1 -ar 8000 "$tmp/sound.u8"
od -An -tu1 -v -w1 "$tmp/sound.u8" >"$tmp/sound.txt"
# Loud: further than 24 from silence (128); the encoder smears a little.
sound_ms="$(awk '$1 > 152 || $1 < 104 { print (NR - 1) / 8; exit }' "$tmp/sound.txt")"
[ -n "$sound_ms" ] || fail "the sound track is silent"
near "$sound_ms" "$picture_ms" 16 || fail "the first sound starts at $sound_ms ms, its picture at $picture_ms ms"
echo "ok: the first sound starts at $sound_ms ms, its picture at $picture_ms ms"
# Quiet before it, and loud while it plays (its first 100 ms).
awk -v end="$((picture_ms - 50))" 'NR <= end * 8 && ($1 > 132 || $1 < 124) { bad = 1 } END { exit bad }' \
    "$tmp/sound.txt" || fail "sound before the first Snd_Play"
loud="$(awk -v from="$picture_ms" 'NR > from * 8 && NR <= (from + 100) * 8 { s += ($1 - 128) ^ 2; n++ }
    END { print int(sqrt(s / n)) }' "$tmp/sound.txt")"
[ "$loud" -gt 20 ] || fail "the first sound plays at $loud RMS"
echo "ok: silent before the first sound, $loud RMS while it plays"

# Another scale and a format without sound.
"$bin" --input "$script" --passes 100 --events "$tmp/short.csv" --video "$tmp/short.gif" --scale 1 ||
    fail "the runner could not write a GIF"
[ "$(probe "$tmp/short.gif" v width,height)" = "320,240" ] || fail "GIF size $(probe "$tmp/short.gif" v width,height)"
[ -z "$(probe "$tmp/short.gif" a codec_name)" ] || fail "a GIF with sound"
echo "ok: --scale 1 into a GIF"

# Refused before anything runs: a format it does not know, and no ffmpeg;
# an encoder that fails shows as a failed run.
if "$bin" --passes 10 --video "$tmp/game.txt" 2>"$tmp/err"; then fail "a .txt video was accepted"; fi
grep -q -- "--video: '.*game.txt' must end in" "$tmp/err" || fail "message: $(cat "$tmp/err")"
if "$bin" --passes 10 --video "$tmp/no/such/dir/v.mp4" 2>"$tmp/err"; then fail "an unwritable video was reported as written"; fi
grep -q -- "--video:" "$tmp/err" || fail "message: $(cat "$tmp/err")"
if PATH=/nonexistent "$bin" --passes 10 --video "$tmp/v.mp4" 2>"$tmp/err"; then fail "no ffmpeg, yet a video"; else
    status=$?
fi
[ "$status" -eq 2 ] && grep -q -- "--video: cannot run ffmpeg" "$tmp/err" || fail "without ffmpeg: $status, $(cat "$tmp/err")"
echo "ok: bad video paths and a missing ffmpeg fail with a message"
