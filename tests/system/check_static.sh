#!/usr/bin/env bash
# A ZM_STATIC build carries SDL and the C++ runtime inside: the binary asks
# the device for neither. READELF names the target's tool in a cross build.
set -u
needed="$("${READELF:-readelf}" -d "$1" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')"
echo "needs:" $needed
fail=0
for lib in libSDL libstdc++ libgcc_s; do
    if grep -q "^$lib[-.]" <<<"$needed"; then echo "FAILED: still needs $lib"; fail=1; fi
done
[ -n "$needed" ] || { echo "FAILED: no NEEDED entries read"; fail=1; }
exit $fail
