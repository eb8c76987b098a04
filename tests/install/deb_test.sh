#!/usr/bin/env bash
# deb_test.sh PACKAGE.deb: unpacks the package into a throw-away root and
# checks every file is where the desktop expects it, then its metadata.
set -u
deb="$1"
here="$(cd "$(dirname "$0")" && pwd)"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
fail=0
dpkg-deb -x "$deb" "$tmp/root" || { echo "FAILED: dpkg-deb -x"; exit 1; }
"$here/check_install.sh" "$tmp/root" /usr games || fail=1
field() { dpkg-deb -f "$deb" "$1"; }
check() { if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1"; fail=1; fi; }
check "the package is in section games" "[ '$(field Section)' = games ]"
check "its dependencies were worked out from the binaries (SDL 1.2 among them)" \
    "printf '%s' '$(field Depends)' | grep -q 'libsdl1.2' && printf '%s' '$(field Depends)' | grep -q 'libc6 (>='"
check "it has a maintainer and a long description" \
    "[ -n '$(field Maintainer)' ] && [ $(field Description | wc -l) -ge 3 ]"
check "it says it is MIT-licensed" "field Description | grep -q 'MIT'"
check "it carries nothing outside /usr" "[ \"\$(ls '$tmp/root')\" = usr ]"
check "SDL 1.2 is the compatibility layer first, classic SDL the alternative" \
    "printf '%s' '$(field Depends)' | grep -qE 'libsdl1\.2-compat-shim[^,|]*\| libsdl1\.2debian'"

# What apt installs with it on a system that has no SDL 1.2 at all: this
# machine's package state less every libsdl1.2 package, simulated.
awk 'BEGIN { RS = ""; ORS = "\n\n" } !/^Package: libsdl1\.2/' /var/lib/dpkg/status >"$tmp/status"
if ! apt-cache show libsdl1.2debian libsdl1.2-compat-shim >/dev/null 2>&1; then
    echo "SKIPPED: apt knows no SDL 1.2 packages here (apt-get update first)"
else
    apt-get install -s -o Dir::State::status="$tmp/status" "$(readlink -f "$deb")" >"$tmp/apt.log" 2>&1
    check "apt installs the compatibility layer with it, not classic SDL" \
        "grep -q '^Inst libsdl1.2-compat-shim ' '$tmp/apt.log' && ! grep -q '^Inst libsdl1.2debian ' '$tmp/apt.log'"
    grep -q '^Inst libsdl1.2-compat-shim ' "$tmp/apt.log" || sed 's/^/  apt: /' "$tmp/apt.log" | tail -5
fi
exit $fail
