#!/usr/bin/env bash
# Run inside a root by scripts/roots.sh: root-setup.sh "FOREIGN ARCHES"
# PACKAGES... adds the architectures and installs the packages.
set -euo pipefail
arches="$1"; shift
for a in $arches; do dpkg --add-architecture "$a"; done

# The root then goes on without Debian's security archive.
drop_security() {
    [ ! -f /etc/apt/sources.list ] || sed -i '/debian-security/s/^deb/# deb/' /etc/apt/sources.list
    local f
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] || continue
        awk -v RS= -v ORS='\n\n' '/debian-security/ && !/Enabled: no/ { $0 = $0 "\nEnabled: no" } 1' "$f" >"$f.new"
        mv "$f.new" "$f"
    done
    apt-get update -qq
}
install() { DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" >/dev/null; }

# An index the archive lacks fails the update; the loop below looks for it.
apt-get update -qq || echo "some package indexes are missing"
# Debian's security archive may not carry a foreign architecture (armel has
# left it, and so has bullseye's armhf): its updates of the host
# architecture's libraries would then differ from the target's, which
# multiarch forbids, so such a root goes without them.
for a in $arches; do
    ls /var/lib/apt/lists/*security*"binary-${a}_Packages"* >/dev/null 2>&1 && continue
    echo "no security updates for $a: this root goes without them"
    drop_security
    break
done
# A release whose support has ended may keep its security archive's index
# while the mirror no longer serves the files it lists (bullseye's answer
# 404): apt fetches everything before it installs anything, so the install
# is tried again from the release's own archive.
errors="$(mktemp)"
if ! install "$@" 2>"$errors"; then
    grep -q 'Failed to fetch .*/debian-security/' "$errors" || { cat "$errors" >&2; exit 1; }
    echo "$(grep -c 'Failed to fetch' "$errors") packages could not be fetched from the security archive; trying again without it"
    drop_security
    install "$@"
fi
rm -f "$errors"
