#!/usr/bin/env bash
# emulated_test.sh GAMEDIR ARCH: run by scripts/handheld --test inside the
# bullseye root for ARCH (aarch64 or armhf), whose C library (2.31) is the
# oldest the bundle is meant for and whose SDL 2 stands for the device's.
# The bundled replay runner, under qemu-user with only the bundled
# libraries added, loads the bundled SDL 1.2 layer (not the root's classic
# SDL), which finds SDL 2; and it writes the same trace, event log, sound
# and screenshot as tests/e2e/digests.txt holds.
set -euo pipefail
game="$1" arch="$2"
case "$arch" in
aarch64) qemu=qemu-aarch64 debian=arm64 ;;
armhf) qemu=qemu-arm debian=armhf ;;
*) echo "usage: emulated_test.sh GAMEDIR aarch64|armhf" >&2; exit 2 ;;
esac
libs="$game/libs.$arch" runner="$game/bin.$arch/zultmirax-replay"
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
echo "C library: $(dpkg-query -W -f='${Version}' "libc6:$debian"), SDL 2: $(dpkg-query -W -f='${Version}' "libsdl2-2.0-0:$debian")"

failed=0
loaded="$($qemu -E "LD_LIBRARY_PATH=$libs" -E LD_DEBUG=libs "$runner" --passes 10 2>&1)" || {
    echo "FAIL: the runner did not run on this C library:"
    echo "$loaded" | grep -v '^ *[0-9]*:' | tail -5
    exit 1
}
if grep -q "calling init: $libs/libSDL-1.2.so.0\$" <<<"$loaded"; then
    echo "ok: the bundled SDL 1.2 layer is the one loaded"
else
    echo "FAIL: the bundled SDL 1.2 layer was not loaded:"
    grep 'calling init:' <<<"$loaded"
    failed=1
fi
if grep -qE "calling init: .*/libSDL2-2\.0\.so\.0\$" <<<"$loaded"; then
    echo "ok: the layer opened the system's SDL 2"
else
    echo "FAIL: the layer did not open SDL 2"
    failed=1
fi

ZM_EMULATOR="$qemu -E LD_LIBRARY_PATH=$libs" /src/tests/e2e/digest_test.sh "$runner" /src || failed=1
[ "$failed" -eq 0 ]
