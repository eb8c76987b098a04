# Sourced by the other scripts: installs the Debian packages they need when
# any is missing (through sudo when not root); installs nothing otherwise.
zm_ensure_packages() {
    local missing=()
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# What every build needs.
ZM_BUILD_PACKAGES=(g++ cmake ninja-build pkg-config libsdl1.2-compat-dev)
