# Sourced by scripts/bench: a private PipeWire for one run, as a desktop
# runs it (the daemon, its session manager and its PulseAudio interface),
# with a null sink at 48 kHz as the only sink, and a session bus, runtime folder, socket and logs
# of its own under a folder of the caller's; no link to any server of the
# user's. Games reach it as they reach PulseAudio.
#
#   zm_pipewire_start DIR   starts it (exits 1, saying why, if its PulseAudio
#                           interface does not answer, or the sink is not
#                           the default or not heard); exports PULSE_SERVER and
#                           PIPEWIRE_RUNTIME_DIR
#   zm_pipewire_underruns   the underruns its PulseAudio interface has
#                           logged so far
#   zm_pipewire_stop        stops it (the caller's EXIT trap should call it)

zm_pipewire_pids=()
zm_pipewire_dir=""

zm_pipewire_start() {
    zm_pipewire_dir="$1"
    local d="$zm_pipewire_dir"
    mkdir -p "$d/run" "$d/home" "$d/config/pipewire/pipewire.conf.d" "$d/config/wireplumber"
    chmod 700 "$d/run"
    # The null sink is followed by the daemon's own dummy driver, on the
    # monotonic clock, as a card would drive it.
    cat >"$d/config/pipewire/pipewire.conf.d/zm-null-sink.conf" <<'EOF'
context.objects = [
    { factory = adapter
        args = {
            factory.name     = support.null-audio-sink
            node.name        = zm_null
            node.description = "null sink"
            media.class      = Audio/Sink
            audio.position   = [ FL FR ]
            audio.rate       = 48000
            object.linger    = true
            priority.session = 2000
            priority.driver  = 2000
        }
    }
]
EOF
    local env=(HOME="$d/home" XDG_RUNTIME_DIR="$d/run" XDG_CONFIG_HOME="$d/config" XDG_STATE_HOME="$d/home"
        PIPEWIRE_RUNTIME_DIR="$d/run" DISPLAY= WAYLAND_DISPLAY=)
    dbus-daemon --session --nofork --nopidfile --address="unix:path=$d/bus" >"$d/dbus.log" 2>&1 &
    zm_pipewire_pids+=($!)
    env[${#env[@]}]="DBUS_SESSION_BUS_ADDRESS=unix:path=$d/bus"
    env "${env[@]}" pipewire >"$d/pipewire.log" 2>&1 &
    zm_pipewire_pids+=($!)
    for _ in $(seq 1 100); do [ -S "$d/run/pipewire-0" ] && break; sleep 0.1; done
    env "${env[@]}" wireplumber >"$d/wireplumber.log" 2>&1 &
    zm_pipewire_pids+=($!)
    # The interface logs a playing stream's underrun ("underrun read") at
    # debug level.
    env "${env[@]}" PIPEWIRE_DEBUG="2,mod.protocol-pulse:4" pipewire-pulse >"$d/log" 2>&1 &
    zm_pipewire_pids+=($!)
    # PulseAudio clients and its own (SDL 2's PipeWire driver) alike.
    export PULSE_SERVER="unix:$d/run/pulse/native" PIPEWIRE_RUNTIME_DIR="$d/run"
    # Ready once the null sink is the default and a stream playing into it
    # is heard at its monitor: streams made earlier, while the session
    # manager is still setting up, are sometimes refused.
    for _ in $(seq 1 100); do
        if pactl info 2>/dev/null | grep -q '^Default Sink: zm_null$' && zm_pipewire_heard; then return 0; fi
        sleep 0.1
    done
    tail -n 20 "$d/pipewire.log" "$d/wireplumber.log" "$d/log" >&2
    echo "the private PipeWire did not start with its null sink as the default, heard at its monitor (logs: $d)" >&2
    exit 1
}

# Silence played into the sink until its monitor has given 100 ms of it
# back (or two seconds have gone by).
zm_pipewire_heard() {
    local player heard
    pacat --raw --rate=48000 --channels=2 --format=s16le </dev/zero >/dev/null 2>&1 &
    player=$!
    heard="$(timeout 2 parec --latency-msec=20 --raw --rate=48000 --channels=2 --format=s16le -d zm_null.monitor 2>/dev/null |
        head -c 19200 | wc -c)"
    kill "$player" 2>/dev/null || true
    wait "$player" 2>/dev/null || true
    [ "$heard" -eq 19200 ]
}

zm_pipewire_underruns() { grep -c 'underrun read' "$zm_pipewire_dir/log" || true; }

zm_pipewire_stop() {
    local pid
    for pid in "${zm_pipewire_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${zm_pipewire_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    zm_pipewire_pids=()
}
