# Sourced by the other scripts: installs the Debian packages they need when
# any is missing, as root or through sudo, and installs nothing otherwise.
# apt's output is shown only when it fails. When neither root nor sudo can
# install, prints the one command a person can run and exits non-zero.
zm_ensure_packages() {
    local missing=()
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local line="apt-get install --no-install-recommends ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        # sudo without a password, or with one when someone is there to type it.
        if command -v sudo >/dev/null 2>&1 && { sudo -n true 2>/dev/null || { [ -t 0 ] && sudo -v; }; }; then
            sudo=(sudo)
        else
            echo "Missing Debian packages: ${missing[*]}" >&2
            echo "They need root to install; as root (or with sudo), run:" >&2
            echo "    $line" >&2
            exit 1
        fi
    fi
    echo "Installing: ${missing[*]}"
    local log
    log="$(mktemp)"
    # sudo drops most of the environment, so the variable goes through env.
    # Another install running at the same time (a second build script) holds
    # dpkg's lock: wait for it rather than fail.
    local wait=(-o DPkg::Lock::Timeout=900)
    if ! { "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get "${wait[@]}" update -qq &&
        "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get "${wait[@]}" install -y -qq --no-install-recommends "${missing[@]}"; } \
        >"$log" 2>&1; then
        cat "$log" >&2
        rm -f "$log"
        echo "Installing failed; to try again by hand, as root run:" >&2
        echo "    $line" >&2
        exit 1
    fi
    rm -f "$log"
}

# The tools the test suite runs beside the programs: a virtual X server,
# XTEST keys and screenshots, window properties and a window manager,
# ffmpeg for the exported videos, and the validators of the installed files.
ZM_TEST_TOOLS=(xvfb xdotool imagemagick x11-utils openbox ffmpeg desktop-file-utils appstream man-db file)

# What every build needs.
ZM_BUILD_PACKAGES=(g++ cmake ninja-build pkg-config libsdl1.2-compat-dev)
