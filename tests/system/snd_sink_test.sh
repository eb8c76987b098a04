#!/usr/bin/env bash
# The bench's sound-server measure (zultmirax-snd-sink) against a private
# PulseAudio with a null sink: every sound is found at the sink after the
# mixer handed it over, and a larger buffer asked of the server shows as a
# later arrival, so the figure is the server's and not the hand-over's.
# Skipped (77) where PulseAudio is not installed.
set -euo pipefail
sink_tool="$1"
root="$(cd "$(dirname "$0")/../.." && pwd)"
command -v pulseaudio >/dev/null && command -v pactl >/dev/null || {
    echo "skipped: needs pulseaudio and pulseaudio-utils"
    exit 77
}
. "$root/scripts/private-pulse.sh"
tmp="$(mktemp -d)"
trap 'zm_pulse_stop; rm -rf "$tmp"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
zm_pulse_start "$tmp/pulse"

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# A run of 16 sounds with the settings given: its lines in $tmp/out.
sink_run() {
    env SDL_AUDIODRIVER=pulseaudio "$@" "$sink_tool" 16 >"$tmp/out" 2>"$tmp/err" ||
        { cat "$tmp/err" >&2; fail "zultmirax-snd-sink $* ended with an error"; }
    [ "$(grep -c '^start ' "$tmp/out")" -eq 16 ] || fail "$*: not 16 sounds timed"
}

sink_run
awk '$1 == "start" && !($2 >= 0 && $3 > $2 && $3 < 2000) { exit 1 }' "$tmp/out" ||
    fail "a sound reached the sink before the mixer handed it over, or not within two seconds: $(grep '^start' "$tmp/out" | tr '\n' ' ')"
echo "ok: 16 sounds reach the sink after the mixer's hand-over, within two seconds"
grep -qE '^sink 48000 [0-9.]+$' "$tmp/out" || fail "no sink line: $(cat "$tmp/out")"
grep -qE '^sdl 1\.2\.[0-9]+ [0-9]+$' "$tmp/out" || fail "no sdl line: $(cat "$tmp/out")"
echo "ok: the run names the sink's rate and the SDL it went through"
plain="$(awk '$1 == "start" { print $3 }' "$tmp/out" | median)"

# The client library's latency setting makes the server keep some 300 ms:
# the sounds must arrive later by most of that.
sink_run PULSE_LATENCY_MSEC=300
late="$(awk '$1 == "start" { print $3 }' "$tmp/out" | median)"
awk -v a="$plain" -v b="$late" 'BEGIN { exit !(b - a > 150) }' ||
    fail "300 ms asked of the server moved the median from $plain ms only to $late ms"
echo "ok: a larger server buffer shows at the sink ($plain ms, then $late ms)"

# A monitor that does not exist is said so, with status 1.
status=0
SDL_AUDIODRIVER=pulseaudio "$sink_tool" 1 no-such-monitor >"$tmp/out" 2>"$tmp/err" || status=$?
[ "$status" -eq 1 ] && grep -q "cannot read the sink's monitor" "$tmp/err" ||
    fail "a missing monitor: status $status, '$(cat "$tmp/err")'"
echo "ok: a missing monitor is reported"
