# Sourced: a private PulseAudio for one run, with a null sink as the
# default, its runtime folder, socket and log under a folder of the
# caller's, and no link to any server of the user's.
#
#   zm_pulse_start DIR   starts it (exits 1, saying why, if it does not
#                        answer); exports PULSE_SERVER; logs at debug level
#                        to DIR/log
#   zm_pulse_underruns   the underruns the server has logged so far
#   zm_pulse_stop        stops it (the caller's EXIT trap should call it)

zm_pulse_pid=""
zm_pulse_dir=""

zm_pulse_start() {
    zm_pulse_dir="$1"
    mkdir -p "$zm_pulse_dir/run" "$zm_pulse_dir/home" "$zm_pulse_dir/config"
    printf '%s\n' "load-module module-native-protocol-unix socket=$zm_pulse_dir/socket auth-anonymous=1" \
        "load-module module-null-sink sink_name=zm_null rate=48000" "set-default-sink zm_null" \
        >"$zm_pulse_dir/default.pa"
    env HOME="$zm_pulse_dir/home" XDG_RUNTIME_DIR="$zm_pulse_dir/run" XDG_CONFIG_HOME="$zm_pulse_dir/config" \
        pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --realtime=no \
        --log-target="file:$zm_pulse_dir/log" --log-level=debug -F "$zm_pulse_dir/default.pa" \
        >"$zm_pulse_dir/out" 2>&1 &
    zm_pulse_pid=$!
    export PULSE_SERVER="unix:$zm_pulse_dir/socket"
    local i
    for i in $(seq 1 100); do
        pactl info >/dev/null 2>&1 && return 0
        kill -0 "$zm_pulse_pid" 2>/dev/null || break
        sleep 0.1
    done
    cat "$zm_pulse_dir/out" >&2
    echo "the private PulseAudio did not start (log: $zm_pulse_dir/log)" >&2
    exit 1
}

zm_pulse_underruns() { grep -c 'Implicit underrun' "$zm_pulse_dir/log" || true; }

zm_pulse_stop() {
    [ -n "$zm_pulse_pid" ] || return 0
    kill "$zm_pulse_pid" 2>/dev/null || true
    wait "$zm_pulse_pid" 2>/dev/null || true
    zm_pulse_pid=""
}
