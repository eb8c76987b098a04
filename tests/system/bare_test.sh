#!/usr/bin/env bash
# The bench's floor programs: zultmirax-bare shows its screen and opens no
# sound device; with --sound it opens one and keeps it fed, as the game
# does, until SDL's quit. SDL's disk driver stands in for the card, so the
# device's stream can be read back.
set -euo pipefail
bare="$1"
tmp="$(mktemp -d)"
pid=""
trap '[ -z "$pid" ] || kill -KILL "$pid" 2>/dev/null; rm -rf "$tmp"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=disk

# run TENTHS ARGS...: the program until its device has written 16 KiB, or
# for TENTHS tenths of a second at most, then SDL's quit through TERM; its
# status in $status.
run() {
    local tenths="$1"
    shift
    : >"$tmp/device"
    SDL_DISKAUDIOFILE="$tmp/device" "$bare" "$@" >"$tmp/out" 2>&1 &
    pid=$!
    for _ in $(seq 1 "$tenths"); do
        [ "$(stat -c %s "$tmp/device")" -lt 16384 ] || break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -TERM "$pid" 2>/dev/null || true
    status=0
    wait "$pid" || status=$?
    pid=""
}

run 10
[ "$status" -eq 0 ] || fail "zultmirax-bare ended with status $status: $(cat "$tmp/out")"
[ ! -s "$tmp/device" ] || fail "zultmirax-bare wrote to a sound device"
echo "ok: without --sound no sound device is opened, and SDL's quit ends it"

run 300 --sound
[ "$status" -eq 0 ] || fail "zultmirax-bare --sound ended with status $status: $(cat "$tmp/out")"
[ "$(stat -c %s "$tmp/device")" -ge 16384 ] || fail "zultmirax-bare --sound did not feed its device"
# Silence in whatever format the device took: one byte value, or zeros.
[ "$(od -An -v -tu1 "$tmp/device" | tr -s ' ' '\n' | sed '/^$/d' | sort -u | wc -l)" -eq 1 ] ||
    fail "zultmirax-bare --sound played something other than silence"
echo "ok: with --sound the device is opened and fed silence until SDL's quit"

status=0
"$bare" --no-such-option >"$tmp/out" 2>&1 || status=$?
[ "$status" -eq 2 ] && grep -q 'usage: zultmirax-bare \[--sound\]' "$tmp/out" ||
    fail "an unknown option: status $status, '$(cat "$tmp/out")'"
echo "ok: an unknown option is refused with the usage"
