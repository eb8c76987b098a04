#!/usr/bin/env bash
# The runner always ends, and ends cleanly: whatever its outputs name, when
# its script never comes, when ffmpeg never finishes, and at a second
# Ctrl-C; a video is claimed only when it is there, whole. Each wait here is
# for an event (a file a stand-in makes, the runner's signal handlers in
# place); the time limits only keep a broken runner from hanging the suite.
set -euo pipefail
bin="$1"
script="$2"
tmp="$(mktemp -d)"
full=""
cleanup() {
    [ -n "$full" ] && umount "$full" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT
fail() {
    echo "FAILED: $*"
    exit 1
}
cd "$tmp"
command -v ffmpeg >/dev/null && command -v ffprobe >/dev/null || {
    echo "SKIPPED: no ffmpeg"
    exit 77
}
real_ffmpeg="$(command -v ffmpeg)"
mkdir scratch
export TMPDIR="$tmp/scratch"

# appears FILE: FILE exists within 60 s.
appears() {
    for _ in $(seq 1 1200); do [ -e "$1" ] && return 0; sleep 0.05; done
    fail "$1 never came"
}
# catching PID: the runner has its stop handlers in place.
catching() {
    for _ in $(seq 1 1200); do
        mask="$(awk '/^SigCgt:/ { print $2 }' "/proc/$1/status" 2>/dev/null || true)"
        [ -n "$mask" ] && (((0x$mask >> 1) & 1)) && return 0
        sleep 0.05
    done
    fail "the runner never caught SIGINT"
}
# ended PID: sets status to the runner's; it must end within 60 s.
ended() {
    timeout 60 tail --pid="$1" -f /dev/null || fail "the runner did not end: $(cat err)"
    status=0
    wait "$1" || status=$?
}
# clean: no scratch folder or stand-in encoder left behind.
clean() {
    [ -z "$(ls scratch)" ] || fail "$1: scratch left: $(ls scratch)"
    if [ -e encoder.pid ] && kill -0 "$(cat encoder.pid)" 2>/dev/null; then fail "$1: ffmpeg left running"; fi
    rm -f encoder.pid
}
duration() { ffprobe -v error -select_streams "$1" -show_entries stream=duration -of csv=p=0 "$2"; }
# standin NAME ENCODER MUXER: an ffmpeg in NAME/ that runs ENCODER for the
# picture (fed on its standard input) and MUXER for the rest.
standin() {
    mkdir -p "$1"
    cat >"$1/ffmpeg" <<EOF
#!/bin/bash
echo \$\$ >"$tmp/encoder.pid"
case " \$* " in
*" pipe:0 "*) $2 ;;
*) $3 ;;
esac
EOF
    chmod +x "$1/ffmpeg"
}

# The sound to standard output with a video: the video's sound is its own
# copy, so the muxer never reads the runner's output pipe.
timeout 300 bash -c "set -o pipefail; '$bin' --input '$script' --passes 300 --video v.mp4 --audio /dev/stdout 2>err | cat >a.wav" ||
    fail "--audio /dev/stdout with --video: status $?: $(cat err)"
[ "$(head -c 4 a.wav)" = RIFF ] && [ "$(stat -c %s a.wav)" -gt 30000 ] || fail "a.wav: $(stat -c %s a.wav) bytes"
picture="$(duration v:0 v.mp4)"
sound="$(duration a:0 v.mp4)"
awk -v p="$picture" -v s="$sound" 'BEGIN { exit !(s > p - 0.2 && s < p + 0.2) }' ||
    fail "v.mp4: $picture s of picture, ${sound:-no} s of sound"
echo "ok: --video with --audio /dev/stdout ends, the video with its whole sound"

# One Ctrl-C while the muxer hangs ends it, and the run.
standin hung "exec '$real_ffmpeg' \"\$@\"" "touch '$tmp/muxing'; exec sleep 600"
set -m
PATH="$tmp/hung:$PATH" "$bin" --input "$script" --passes 200 --video hung.mp4 >out 2>err &
pid=$!
set +m
appears muxing
kill -INT -- "-$pid"
ended "$pid"
[ "$status" -eq 130 ] || fail "Ctrl-C while muxing: status $status: $(cat err)"
grep -q "no video was written to 'hung.mp4': stopped by signal 2" err || fail "Ctrl-C while muxing: $(cat err)"
[ ! -e hung.mp4 ] || fail "Ctrl-C while muxing: hung.mp4 left"
clean "Ctrl-C while muxing"
echo "ok: one Ctrl-C ends a muxer that hangs, and the run, cleanly"

# Two Ctrl-Cs: the first stops the passes, the second comes while the
# encoder, its input taken, does not finish.
standin slow "cat >/dev/null; touch '$tmp/drained'; exec sleep 600" "exit 1"
set -m
PATH="$tmp/slow:$PATH" "$bin" --input "$script" --passes 100000 --video twice.gif --screenshot 100:twice.bmp >out 2>err &
pid=$!
set +m
appears twice.bmp
kill -INT -- "-$pid"
appears drained
kill -INT -- "-$pid"
ended "$pid"
[ "$status" -eq 130 ] || fail "two Ctrl-Cs: status $status: $(cat err)"
# The second may come before the runner waits on the encoder: it then ends
# the run at once, as cleanly.
grep -qE "no video was written to 'twice.gif'|stopped at once by a second signal" err || fail "two Ctrl-Cs: $(cat err)"
clean "two Ctrl-Cs"
echo "ok: a second Ctrl-C ends an encoder that does not finish, and leaves nothing behind"

# An ffmpeg that exits with 0 and writes nothing: no video is claimed.
standin idle "cat >/dev/null; exit 0" "exit 0"
for video in idle.gif idle.mp4; do
    status=0
    PATH="$tmp/idle:$PATH" "$bin" --input "$script" --passes 100 --video "$video" >out 2>err || status=$?
    [ "$status" -eq 1 ] || fail "$video from an ffmpeg that wrote nothing: status $status: $(cat err)"
    grep -q "no video was written to '$video': ffmpeg finished without writing it" err || fail "$video: $(cat err)"
    clean "$video"
done
echo "ok: a video that ffmpeg never wrote is a failure"

# Ctrl-C while the script has not come (a FIFO nobody writes yet).
mkfifo fifo
set -m
"$bin" --input fifo --trace fifo.csv >out 2>err &
pid=$!
set +m
catching "$pid"
kill -INT -- "-$pid"
ended "$pid"
[ "$status" -eq 130 ] || fail "Ctrl-C before the script came: status $status: $(cat err)"
grep -q "stopped by signal 2 (Interrupt) before the first pass" err || fail "Ctrl-C before the script: $(cat err)"
[ ! -e fifo.csv ] || fail "Ctrl-C before the script: a trace was opened"
echo "ok: one Ctrl-C ends a run whose script never comes"

# The WAV on a disk that fills does not cut the video's sound short.
mkdir full
if ! mount -t tmpfs -o size=64k zm-stops-full "$tmp/full" 2>/dev/null; then
    echo "SKIPPED: cannot mount a tmpfs for the full-disk case (needs root)"
    exit 77
fi
full="$tmp/full"
status=0
"$bin" --input "$script" --passes 1000 --scale 1 --video whole.mp4 --audio full/a.wav >out 2>err || status=$?
[ "$status" -eq 1 ] || fail "a WAV on a full disk: status $status: $(cat err)"
grep -q "full/a.wav" err || fail "a WAV on a full disk: not named: $(cat err)"
picture="$(duration v:0 whole.mp4)"
sound="$(duration a:0 whole.mp4)"
awk -v p="$picture" -v s="$sound" 'BEGIN { exit !(p > 15 && s > p - 0.2 && s < p + 0.2) }' ||
    fail "whole.mp4 with a WAV on a full disk: $picture s of picture, ${sound:-no} s of sound"
echo "ok: a WAV that fills its disk fails alone; the video keeps its whole sound"
