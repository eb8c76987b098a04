#!/usr/bin/env bash
# The bench's sound-server measure (zultmirax-snd-sink) against a private
# PulseAudio with a null sink, then a private PipeWire with its session
# manager and PulseAudio interface: every sound is found at the sink after
# the mixer handed it over, and a larger buffer asked of the server shows as
# a later arrival, so the figure is the server's and not the hand-over's.
# Skipped (77) where PulseAudio or PipeWire is not installed.
set -euo pipefail
sink_tool="$1"
root="$(cd "$(dirname "$0")/../.." && pwd)"
for tool in pulseaudio pactl pipewire pipewire-pulse wireplumber dbus-daemon; do
    command -v "$tool" >/dev/null || {
        echo "skipped: needs pulseaudio, pulseaudio-utils, pipewire, pipewire-pulse, wireplumber and dbus-daemon"
        exit 77
    }
done
. "$root/scripts/private-pulse.sh"
. "$root/scripts/private-pipewire.sh"
tmp="$(mktemp -d)"
trap 'zm_pulse_stop; zm_pipewire_stop; rm -rf "$tmp"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# A run of 16 sounds with the settings given: its lines in $tmp/out.
sink_run() {
    env SDL_AUDIODRIVER=pulseaudio "$@" "$sink_tool" 16 >"$tmp/out" 2>"$tmp/err" ||
        { cat "$tmp/err" >&2; fail "zultmirax-snd-sink $* ended with an error"; }
    [ "$(grep -c '^start ' "$tmp/out")" -eq 16 ] || fail "$*: not 16 sounds timed"
}

# The same checks for each server, started for them alone.
server_checks() { # pulse | pipewire
    local server="$1" plain late status
    "zm_${server}_start" "$tmp/$server"
    sink_run
    awk '$1 == "start" && !($2 >= 0 && $3 > $2 && $3 < 2000) { exit 1 }' "$tmp/out" ||
        fail "$server: a sound reached the sink before the mixer handed it over, or not within two seconds: $(grep '^start' "$tmp/out" | tr '\n' ' ')"
    echo "ok ($server): 16 sounds reach the sink after the mixer's hand-over, within two seconds"
    grep -qE '^sink 48000 [0-9.]+$' "$tmp/out" || fail "$server: no sink line: $(cat "$tmp/out")"
    grep -qE '^sdl 1\.2\.[0-9]+ [0-9]+$' "$tmp/out" || fail "$server: no sdl line: $(cat "$tmp/out")"
    echo "ok ($server): the run names the sink's rate and the SDL it went through"
    plain="$(awk '$1 == "start" { print $3 }' "$tmp/out" | median)"

    # The client library's latency setting makes the server keep some 300 ms:
    # the sounds must arrive later by most of that.
    sink_run PULSE_LATENCY_MSEC=300
    late="$(awk '$1 == "start" { print $3 }' "$tmp/out" | median)"
    awk -v a="$plain" -v b="$late" 'BEGIN { exit !(b - a > 150) }' ||
        fail "$server: 300 ms asked of the server moved the median from $plain ms only to $late ms"
    echo "ok ($server): a larger server buffer shows at the sink ($plain ms, then $late ms)"

    # A monitor that does not exist is said so, with status 1 (PipeWire's
    # interface records from its default source instead of refusing one).
    if [ "$server" = pulse ]; then
        status=0
        SDL_AUDIODRIVER=pulseaudio "$sink_tool" 1 no-such-monitor >"$tmp/out" 2>"$tmp/err" || status=$?
        [ "$status" -eq 1 ] && grep -q "cannot read the sink's monitor" "$tmp/err" ||
            fail "a missing monitor: status $status, '$(cat "$tmp/err")'"
        echo "ok: a missing monitor is reported"
    fi
    "zm_${server}_stop"
}
server_checks pulse
server_checks pipewire
