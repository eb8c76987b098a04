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
exit $fail
