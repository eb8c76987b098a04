# Sourced by scripts/test-classic and scripts/cross: throw-away Debian roots
# under build/roots/, made with debootstrap from the machine's own Debian
# source and kept between runs. Packages are installed inside a root only,
# never on the host. Each entry runs in a private mount namespace, so the
# mounts it makes (/proc, /dev, /tmp, the source tree) vanish with it even
# when a command is killed; the trap unmounts them in order on a normal exit.
#
# Needs root (debootstrap, chroot, mount).

zm_roots_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/roots"

# The Debian sources the host is configured with (one-line and deb822 files),
# leaving out third-party repositories whose keys a bare root lacks.
zm_root_sources() {
    local f
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] && grep -qE '^[^#]*(deb\.debian\.org|/debian)' "$f" && echo "$f"
    done
}

# The first Debian mirror named there, for debootstrap.
zm_root_mirror() {
    local f
    for f in $(zm_root_sources); do
        sed -nE 's,^deb[[:space:]]+(\[[^]]*\][[:space:]]+)?(https?://[^[:space:]]+/debian)/?[[:space:]].*,\2,p;
                 s,^URIs:[[:space:]]*(https?://[^[:space:]]+/debian)/?$,\1,p' "$f"
    done | head -1
}

# zm_root_ensure NAME "FOREIGN ARCHES" PACKAGES...: the root exists with the
# packages installed; does nothing when an earlier run left it so. The root
# is of the host's Debian release, or of the one named in ZM_ROOT_SUITE (an
# older one, for programs that must run on older systems), whose sources are
# the host's with the release's name changed.
zm_root_ensure() {
    local name="$1" arches="$2"; shift 2
    local dir="$zm_roots_dir/$name" host_suite
    host_suite="$(. /etc/os-release && echo "$VERSION_CODENAME")"
    local suite="${ZM_ROOT_SUITE:-$host_suite}"
    local want="suite: $suite; arches: $arches; packages: $*"
    [ -f "$dir/.zm-ready" ] && [ "$(cat "$dir/.zm-ready")" = "$want" ] && return 0

    if [ ! -f "$dir/.zm-base" ]; then
        local mirror
        mirror="$(zm_root_mirror)"
        [ -n "$mirror" ] && [ -n "$suite" ] || { echo "no Debian source configured on this machine" >&2; return 1; }
        echo "=== debootstrap $name ($suite from $mirror)"
        rm -rf "$dir" && mkdir -p "$dir" "$zm_roots_dir/apt-cache"
        debootstrap --variant=minbase --cache-dir="$zm_roots_dir/apt-cache" "$suite" "$dir" "$mirror" \
            >"$zm_roots_dir/$name.debootstrap.log" 2>&1 ||
            { tail -20 "$zm_roots_dir/$name.debootstrap.log" >&2; return 1; }
        rm -f "$dir/etc/apt/sources.list"
        local f
        for f in $(zm_root_sources); do
            if [ "$f" = /etc/apt/sources.list ]; then cp "$f" "$dir/etc/apt/"; else cp "$f" "$dir/etc/apt/sources.list.d/"; fi
        done
        [ "$suite" = "$host_suite" ] ||
            sed -i "s/\b$host_suite\b/$suite/g" "$dir"/etc/apt/sources.list "$dir"/etc/apt/sources.list.d/* 2>/dev/null || true
        # Keep downloaded packages in the shared cache.
        echo 'Binary::apt::APT::Keep-Downloaded-Packages "true";' >"$dir/etc/apt/apt.conf.d/10keep"
        touch "$dir/.zm-base"
    fi

    echo "=== packages for root $name"
    zm_root_run "$name" bash /src/scripts/root-setup.sh "$arches" "$@" || return 1
    echo "$want" >"$dir/.zm-ready"
}

# zm_root_run NAME COMMAND...: runs COMMAND as root inside the root, with the
# source tree at /src (the same checkout, so builds land in its build/).
zm_root_run() {
    local name="$1"; shift
    local dir="$zm_roots_dir/$name" src
    src="$(dirname "$zm_roots_dir")/.."
    src="$(cd "$src" && pwd)"
    unshare --mount --propagation private bash -c '
        set -e
        dir="$1" src="$2" cache="$3"; shift 3
        mounted=()
        cleanup() {
            local i
            for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
                umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}"
            done
        }
        trap cleanup EXIT
        mnt() { local at="${@: -1}"; mkdir -p "$at"; mount "$@"; mounted+=("$at"); }
        mnt -t proc proc "$dir/proc"
        mnt --bind /dev "$dir/dev"
        mnt --bind /dev/pts "$dir/dev/pts"
        mnt -t tmpfs tmpfs "$dir/dev/shm"
        mnt -t tmpfs tmpfs "$dir/tmp"
        mnt --bind "$cache" "$dir/var/cache/apt/archives"
        mnt --bind "$src" "$dir/src"
        cp /etc/resolv.conf "$dir/etc/resolv.conf" 2>/dev/null || true
        env -i HOME=/root TERM="${TERM:-dumb}" PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
            ${ZM_SOAK_PASSES:+ZM_SOAK_PASSES=$ZM_SOAK_PASSES} \
            chroot "$dir" "$@"
    ' - "$dir" "$src" "$zm_roots_dir/apt-cache" "$@"
}
