#!/usr/bin/env bash
# zip_test.sh ZIP: what a Windows player downloads. At most 2.5 MB; one
# folder holding exactly the game, the runner, SDL.dll, README.txt (with
# Windows' line ends) and the licences; the game a windowed program and the
# runner a console one, both 64-bit; nothing from outside the zip but
# Windows' own DLLs; the icon (its PNG images), the version and a
# DPI-aware manifest in both programs' resources.
set -euo pipefail
zip="$(realpath "$1")"
triplet=x86_64-w64-mingw32
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAILED: $*"; exit 1; }

size="$(stat -c %s "$zip")"
[ "$size" -le $((2560 * 1024)) ] || fail "the zip is $size bytes, above 2.5 MB"
echo "ok: the zip is $size bytes"

unzip -q "$zip" -d "$tmp"
want="zultmirax/README.txt zultmirax/SDL.dll zultmirax/licences/SDL.txt zultmirax/licences/ZULT-MIRAX.txt
zultmirax/licences/gcc-runtime.txt zultmirax/licences/mingw-w64-runtime.txt zultmirax/zultmirax-replay.exe
zultmirax/zultmirax.exe"
got="$(cd "$tmp" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)"
[ "$got" = "$(echo "$want" | tr ' ' '\n' | LC_ALL=C sort)" ] || fail "the zip holds: $got"
echo "ok: one folder with the game, the runner, SDL.dll, README.txt and the licences"
d="$tmp/zultmirax"
[ "$(grep -c $'\r$' "$d/README.txt")" -eq "$(wc -l <"$d/README.txt")" ] || fail "README.txt has lines without CR LF"
grep -q "Run anyway" "$d/README.txt" && grep -q "F11 or Alt+Enter" "$d/README.txt" ||
    fail "README.txt does not say how to pass SmartScreen or switch fullscreen"
echo "ok: README.txt in Windows' line ends, with SmartScreen and fullscreen"

subsystem() { $triplet-objdump -p "$1" | sed -n 's/^Subsystem[[:space:]]*[0-9a-f]*[[:space:]]*//p'; }
[ "$(subsystem "$d/zultmirax.exe")" = "(Windows GUI)" ] || fail "the game is $(subsystem "$d/zultmirax.exe")"
[ "$(subsystem "$d/zultmirax-replay.exe")" = "(Windows CUI)" ] || fail "the runner is not a console program"
for f in "$d"/*.exe "$d/SDL.dll"; do
    $triplet-objdump -f "$f" | grep -q "file format pei-x86-64" || fail "$(basename "$f") is not 64-bit"
done
echo "ok: the game is a windowed program, the runner a console one, all 64-bit"

for f in "$d"/*.exe "$d/SDL.dll"; do
    while read -r dll; do
        case "${dll,,}" in
        sdl.dll | kernel32.dll | user32.dll | gdi32.dll | advapi32.dll | msvcrt.dll | winmm.dll) ;;
        *) fail "$(basename "$f") needs $dll" ;;
        esac
    done < <($triplet-objdump -p "$f" | sed -n 's/^\tDLL Name: //p')
done
echo "ok: nothing needed from outside the zip but Windows' own DLLs"

for exe in zultmirax zultmirax-replay; do
    $triplet-objcopy -O binary -j .rsrc "$d/$exe.exe" "$tmp/$exe.rsrc"
    [ "$(LC_ALL=C grep -ac $'\x89PNG' "$tmp/$exe.rsrc")" -ge 6 ] || fail "$exe.exe has not the icon's six images"
    # The version block's strings are UTF-16.
    strings -el "$tmp/$exe.rsrc" | grep -qx "$exe.exe" || fail "$exe.exe has no version block"
    strings -el "$tmp/$exe.rsrc" | grep -qx "ZULT-MIRAX" || fail "$exe.exe's version does not name the product"
    # Windows would stretch a window unaware of the display's scaling, blurring it.
    grep -q '<dpiAware[^>]*>true</dpiAware>' "$tmp/$exe.rsrc" || fail "$exe.exe's manifest does not say it is DPI-aware"
done
echo "ok: the icon, the version and a DPI-aware manifest in both programs' resources"
