#!/usr/bin/env bash
# Checks that a built binary is a position-independent executable with full
# RELRO (a read-only relocation segment and immediate binding).
# READELF and NM name the target's tools in a cross build.
set -u
bin="$1"
readelf="${READELF:-readelf}"
nm="${NM:-nm}"
fail=0
header="$("$readelf" -h "$bin")"
dynamic="$("$readelf" -d "$bin")"
segments="$("$readelf" -l "$bin")"
grep -q 'Type:[[:space:]]*DYN' <<<"$header" || { echo "not PIE: ELF type is not DYN"; fail=1; }
grep -q 'FLAGS_1.*PIE' <<<"$dynamic" || { echo "not PIE: no PIE flag"; fail=1; }
grep -q 'GNU_RELRO' <<<"$segments" || { echo "no RELRO segment"; fail=1; }
grep -Eq 'BIND_NOW|FLAGS.*NOW' <<<"$dynamic" || { echo "partial RELRO only: no immediate binding"; fail=1; }
"$nm" -D "$bin" | grep -q '__stack_chk_fail' || { echo "no stack protector"; fail=1; }
[ $fail -eq 0 ] && echo "PIE, full RELRO and stack protector: ok"
exit $fail
