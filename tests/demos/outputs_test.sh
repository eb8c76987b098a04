#!/usr/bin/env bash
# The runner's and the contact sheet's outputs never fail quietly: clashing
# or unwritable outputs are refused before any pass, a video that could not
# be written (a full disk, a killed encoder) is reported and not left
# behind, Ctrl-C in the terminal still finishes the video, a run cut by its
# pass limit says what it left unplayed, and a sheet cut short by a full
# disk is reported and removed. Full disks are small tmpfs mounts (root only).
set -u
bin="$1"
sheet="$2"
script="$3"
tmp="$(mktemp -d)"
full=""
cleanup() {
    [ -n "$full" ] && umount "$full" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "FAILED: $*"; exit 1; }
cd "$tmp" || exit 1

# refused STATUS MESSAGE ARGS...: the runner exits with STATUS, MESSAGE on stderr
refused() {
    local want="$1" message="$2"; shift 2
    "$bin" "$@" >out 2>err
    local got=$?
    [ "$got" -eq "$want" ] || fail "$* gave status $got, not $want: $(cat err)"
    grep -qF -- "$message" err || fail "$*: no '$message' in: $(cat err)"
}

# One file for two outputs: refused before the first pass, whatever the mode.
echo "5 key down z" >s.txt
refused 2 "--record 's.txt' is the same file as --trace 's.txt'" --record s.txt --trace s.txt
refused 2 "--video './v.mp4' is the same file as --trace 'v.mp4'" --video ./v.mp4 --trace v.mp4
refused 2 "--video 'v.gif' is the same file as --events 'v.gif'" --passes 5 --events v.gif --video v.gif
refused 2 "--screenshot 'v.mp4' is the same file as --video 'v.mp4'" --video v.mp4 --screenshot 3:v.mp4
refused 2 "--screenshot 's.txt' is the same file as --record 's.txt'" --record s.txt --screenshot 3:s.txt
[ "$(cat s.txt)" = "5 key down z" ] || fail "a refused run touched the script"
[ ! -e v.mp4 ] && [ ! -e v.gif ] || fail "a refused run left a video"
echo "ok: --record and --video clash with the other outputs like every output"

# An unwritable video is refused before the first pass, not after all of them.
refused 2 "--video: cannot write '/no/such/dir/x.mp4'" --video /no/such/dir/x.mp4 --passes 3000
[ ! -s out ] || fail "output on stdout"
echo "ok: an unwritable video is refused up front"

# A run cut by its pass limit with script events left says so (status 0: a
# run may look at a script's start on purpose).
printf '5 key down z\n400 key up z\n# 900 passes; replay with --passes 900\n' >cut.txt
"$bin" --input cut.txt --passes 100 2>err || fail "a cut run failed: $(cat err)"
grep -qF "the run stopped at --passes 100 with script events unplayed, from line 2 (pass 400); the whole script needs --passes 900" err ||
    fail "a cut run: $(cat err)"
"$bin" --input cut.txt --passes 401 2>err && [ ! -s err ] || fail "a whole run: $(cat err)"
echo "ok: a run cut by --passes names the first event it left unplayed"

command -v ffmpeg >/dev/null && command -v ffprobe >/dev/null || { echo "SKIPPED: no ffmpeg"; exit 77; }

# A video onto a device that takes nothing: ffmpeg exits 0 all the same.
ln -s /dev/full dev-full.mkv
refused 1 "--video: no video was written to 'dev-full.mkv'" --input "$script" --passes 60 --video dev-full.mkv
grep -q "No space left on device" err || fail "no reason given: $(cat err)"
echo "ok: a video onto /dev/full is a failure, with the reason"

# Ctrl-C in the terminal reaches the whole foreground process group; the
# runner stops between passes and the video holds those passes.
# The runner leads a process group of its own here, as a job in a terminal.
set -m
"$bin" --input s.txt --passes 100000 --video int.mp4 --screenshot 100:int.bmp >out 2>err &
pid=$!
set +m
# appears FILE WHAT: FILE has its first bytes within 10 s, else WHAT never came.
appears() { for _ in $(seq 1 200); do [ -s "$1" ] && return 0; sleep 0.05; done; fail "$2 never came in 10 s"; }
started() { appears "$1" "pass 100"; }
started int.bmp
kill -INT -- "-$pid"
wait "$pid"
status=$?
[ "$status" -eq 130 ] || fail "Ctrl-C: status $status: $(cat err)"
grep -q "the outputs hold those passes" err || fail "Ctrl-C: $(cat err)"
[ -s int.mp4 ] || fail "Ctrl-C: no video, though the runner says: $(cat err)"
frames="$(ffprobe -v error -count_frames -select_streams v -show_entries stream=nb_read_frames -of csv=p=0 int.mp4)"
[ "${frames:-0}" -gt 0 ] || fail "Ctrl-C: the video has ${frames:-no} frames"
echo "ok: Ctrl-C finishes the video: $frames frames"

# Ctrl-C while the runner waits on a full pipe to an encoder that is behind:
# the write goes on when the encoder catches up, and the video is whole.
# The stand-in takes 8 KiB, which lets the first frame's write end with the
# pipe full, and holds the rest until told, so the next write is waiting
# when the signal comes.
real_ffmpeg="$(command -v ffmpeg)"
mkdir slow
cat >slow/ffmpeg <<EOF
#!/bin/bash
case " \$* " in
*" pipe:0 "*)
    head -c 8192 >"$tmp/first"; echo >"$tmp/held"
    while [ ! -e "$tmp/go" ]; do sleep 0.05; done
    { cat "$tmp/first"; exec cat; } | exec "$real_ffmpeg" "\$@" ;;
*) exec "$real_ffmpeg" "\$@" ;;
esac
EOF
chmod +x slow/ffmpeg
set -m
PATH="$tmp/slow:$PATH" "$bin" --input s.txt --passes 100000 --video held.mp4 >out 2>err &
pid=$!
set +m
appears held "the stand-in encoder's first bytes"
sleep 0.3
kill -INT -- "-$pid"
sleep 0.3
touch go
wait "$pid"
status=$?
[ "$status" -eq 130 ] || fail "Ctrl-C on a full pipe: status $status: $(cat err)"
[ -s held.mp4 ] || fail "Ctrl-C on a full pipe: no video: $(cat err)"
! grep -q "except as said above" err || fail "Ctrl-C on a full pipe: $(cat err)"
echo "ok: Ctrl-C while the encoder is behind still finishes the video"

# The encoder killed: a failure, said, and no truncated file left.
"$bin" --input s.txt --passes 100000 --video kill.gif --screenshot 100:kill.bmp >out 2>err &
pid=$!
started kill.bmp
encoder="$(pgrep -P "$pid" ffmpeg | head -1)"
[ -n "$encoder" ] || fail "no encoder seen"
kill -KILL "$encoder"
wait "$pid"
status=$?
[ "$status" -eq 1 ] || fail "killed encoder: status $status: $(cat err)"
grep -q "no video was written to 'kill.gif'" err || fail "killed encoder: $(cat err)"
[ ! -e kill.gif ] || fail "killed encoder: a truncated kill.gif was left"
echo "ok: a killed encoder is a failure, and its file is removed"

# A file that ffmpeg never reached stays as it was: the picture of a video
# with sound is encoded to a scratch file first.
echo old >kept.mp4
"$bin" --input s.txt --passes 100000 --video kept.mp4 --screenshot 100:kept.bmp >out 2>err &
pid=$!
started kept.bmp
kill -KILL "$(pgrep -P "$pid" ffmpeg | head -1)"
wait "$pid"
status=$?
[ "$status" -eq 1 ] && [ "$(cat kept.mp4)" = old ] || fail "a file ffmpeg never reached: status $status, $(head -c 20 kept.mp4)"
echo "ok: a failed video leaves a file it never reached alone"

# Full disks: a tmpfs with one free page.
mkdir full
if ! mount -t tmpfs -o size=64k zm-full "$tmp/full" 2>/dev/null; then
    echo "SKIPPED: cannot mount a tmpfs for the full-disk cases (needs root)"
    exit 77
fi
full="$tmp/full"
fill() { rm -f full/*; dd if=/dev/zero of=full/fill bs=4k count=15 2>/dev/null; }
fill
refused 1 "--video: no video was written to 'full/x.mkv'" --input "$script" --passes 300 --video full/x.mkv
grep -q "No space left on device" err || fail "full disk: no reason given: $(cat err)"
[ ! -e full/x.mkv ] || fail "full disk: a broken x.mkv was left ($(stat -c %s full/x.mkv) bytes)"
echo "ok: a video onto a full disk is a failure, with the reason, and no broken file"

fill
"$sheet" full >out 2>err
status=$?
[ "$status" -eq 1 ] || fail "sheet on a full disk: status $status"
grep -q "contact-sheet.bmp: No space left on device" err || fail "sheet on a full disk: $(cat err)"
[ ! -e full/contact-sheet.bmp ] || fail "sheet: a truncated contact-sheet.bmp was left"
echo "ok: a contact sheet cut short by a full disk is reported and removed"
