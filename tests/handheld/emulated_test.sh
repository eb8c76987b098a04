#!/usr/bin/env bash
# emulated_test.sh GAMEDIR ARCH: run by scripts/handheld --test inside the
# bullseye root for ARCH (aarch64 or armhf), whose C library (2.31) is the
# oldest the bundle is meant for and whose SDL 2 stands for the device's.
# The bundled replay runner, under qemu-user with only the bundled
# libraries added, loads the bundled SDL 1.2 layer (not the root's classic
# SDL), which finds SDL 2; and it writes the same trace, event log, sound
# and screenshot as tests/e2e/digests.txt holds. And this SDL 2 reads the
# controller mappings from the file that the start-up script hands over
# when the device's are too large for the environment.
set -euo pipefail
game="$1" arch="$2" triplet="$3"
case "$arch" in
aarch64) qemu=qemu-aarch64 debian=arm64 ;;
armhf) qemu=qemu-arm debian=armhf ;;
*) echo "usage: emulated_test.sh GAMEDIR aarch64|armhf TRIPLET" >&2; exit 2 ;;
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

# The mapping file: three pads SDL 2 does not know, by file and, for
# comparison, by the variable.
work="$(mktemp -d)"
for i in 1 2 3; do
    printf '0300000012340000%04x000010010000,Stand-in pad %d,a:b0,b:b1,platform:Linux,\n' "$i" "$i"
done >"$work/gamecontrollerdb.txt"
"$triplet-gcc" -o "$work/mappings_count" /src/tests/handheld/mappings_count.c "/usr/lib/$triplet/libSDL2-2.0.so.0"
count() { env SDL_VIDEODRIVER=dummy "$@" "$qemu" "$work/mappings_count"; }
builtin="$(count)" by_file="$(count SDL_GAMECONTROLLERCONFIG_FILE="$work/gamecontrollerdb.txt")"
by_variable="$(count SDL_GAMECONTROLLERCONFIG="$(cat "$work/gamecontrollerdb.txt")")"
if [ "$by_file" -eq $((builtin + 3)) ] && [ "$by_variable" -eq "$by_file" ]; then
    echo "ok: this SDL 2 reads mappings from SDL_GAMECONTROLLERCONFIG_FILE ($builtin built in, $by_file with the file's 3)"
else
    echo "FAIL: mappings: $builtin built in, $by_file with a file of 3, $by_variable with the same 3 in the variable"
    failed=1
fi
rm -rf "$work"

ZM_EMULATOR="$qemu -E LD_LIBRARY_PATH=$libs" /src/tests/e2e/digest_test.sh "$runner" /src || failed=1
[ "$failed" -eq 0 ]
