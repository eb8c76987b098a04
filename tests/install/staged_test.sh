#!/usr/bin/env bash
# staged_test.sh BUILD_DIR: installs the build into two staging folders with
# DESTDIR, under /usr and under another prefix, and checks each.
set -u
build="$1"
here="$(cd "$(dirname "$0")" && pwd)"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
fail=0
for prefix in /usr /opt/zultmirax; do
    echo "=== cmake --install --prefix $prefix (DESTDIR staging)"
    DESTDIR="$tmp$prefix-root" cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAILED: install"; fail=1; continue; }
    "$here/check_install.sh" "$tmp$prefix-root" "$prefix" bin || fail=1
    stray="$(find "$tmp$prefix-root" -mindepth 1 -maxdepth 1 ! -name "$(echo "$prefix" | cut -d/ -f2)")"
    if [ -z "$stray" ]; then echo "ok: nothing outside $prefix"; else echo "FAILED: outside $prefix: $stray"; fail=1; fi
done
exit $fail
