#!/usr/bin/env bash
# The bench's key-to-screen clock on the real game in a real window: keys
# sent by zultmirax-xtest-keys, stamped when the X server has them, and the
# key clock preloaded into the game, which logs each key the game takes and,
# for each screen update, the cannon's left edge. A held arrow must show as
# a step of the cannon in the log after the key's stamp, with the key taken
# in between, and the logged edge must be the one on the screen.
# Takes the game, the key clock library and the key sender.
set -u
bin="$1"
key_clock="$2"
xtest_keys="$3"
. "$(dirname "$0")/x_session.sh"
x_start
log="$tmp/keys.log"
ZM_KEY_LOG="$log" LD_PRELOAD="$key_clock" game_start

# Space until the log shows a screen of play (the cannon on its floor).
in_play() { awk '$1 == "u" && $4 >= 0 { found = 1 } END { exit !found }' "$log" 2>/dev/null; }
for _ in $(seq 1 120); do
    in_play && break
    kill -0 "$game_pid" 2>/dev/null || fail "the game exited before play"
    hold space 0.1
    sleep 0.4
done
in_play || fail "no screen of play in the key clock's log"
echo "ok: the key clock sees the screen of play"

coproc KEYS { "$xtest_keys"; }
# press KEY: holds KEY until the log shows the cannon's step after the key's
# stamp (10 s at most); prints "released stamp taken step-start before
# after", only the key-up's stamp when the cannon did not step.
press() {
    local stamp released line=""
    echo "down $1" >&"${KEYS[1]}"
    read -r stamp <&"${KEYS[0]}"
    for _ in $(seq 1 100); do
        line="$(awk -v t="$stamp" '
            $1 == "k" && $2 >= t && taken == "" { taken = $2 }
            $1 == "u" { if ($2 > t && last >= 0 && $4 >= 0 && $4 != last) { print t, (taken == "" ? -1 : taken), $2, last, $4; exit }
                        last = $4 }' "$log")"
        [ -n "$line" ] && break
        sleep 0.1
    done
    echo "up $1" >&"${KEYS[1]}"
    read -r released <&"${KEYS[0]}"
    echo "$released $line"
}

# settled STAMP: waits (10 s at most) until three updates begun after STAMP
# show the cannon's edge in one place: the key is up and the game has seen it.
settled() {
    for _ in $(seq 1 100); do
        awk -v t="$1" '$1 == "u" && $2 > t { n = ($4 == last) ? n + 1 : 1; last = $4 }
            END { exit !(n >= 3) }' "$log" && return 0
        sleep 0.1
    done
    fail "the cannon did not come to rest after the key went up at $1"
}

answered=0
for key in Right Left Right Left Right; do
    read -r released stamp taken step before after < <(press "$key"; echo)
    settled "$released"
    [ -n "${step-}" ] || continue
    answered=$((answered + 1))
    awk -v t="$stamp" -v k="$taken" -v s="$step" 'BEGIN { exit !(k >= t && k <= s) }' ||
        fail "$key: the game took no key between its stamp $stamp and the step at $step (taken: $taken)"
    if [ "$key" = Right ]; then [ "$after" -gt "$before" ]; else [ "$after" -lt "$before" ]; fi ||
        fail "$key moved the cannon's edge from $before to $after"
done
[ "$answered" -ge 3 ] || fail "only $answered of 5 presses moved the cannon"
echo "ok: $answered presses: each key taken after its stamp and before the step, the step its way"
exec {KEYS[1]}>&-

# The edge the log gives last, with the cannon at rest, is the one on the screen.
edge="$(awk '$1 == "u" { x = $4 } END { print x }' "$log")"
shot
[ "$edge" -ge 1 ] || fail "the cannon's edge at the end: $edge"
[ "$(grey "$edge" 220)" -gt 0 ] && [ "$(grey $((edge - 1)) 220)" -eq 0 ] ||
    fail "the screen's cannon does not start at x $edge on row 220"
echo "ok: the logged edge, x $edge, is the cannon's on the screen"
