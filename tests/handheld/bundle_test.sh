#!/usr/bin/env bash
# bundle_test.sh OUT SOURCE_DIR: the handheld bundle scripts/handheld made in
# OUT (build/handheld): its files and nothing else, laid out as the
# collection's rules ask (the metadata beside the start-up script and the
# game folder, gameinfo.xml for the ports menu, the licences in the game
# folder's licenses/), the zip holding the same files with their modes,
# each program and library built for the processor its folder names,
# needing only what the bundle or the device's C library provides, and
# asking glibc for version 2.30 at most, the version the collection assumes
# where a device does not say (objdump, every ELF file found, whatever its
# name), and for what port.json's min_glibc says.
set -uo pipefail
out="$(realpath "$1")" src="$(realpath "$2")"
port="$out/zultmirax" game="$out/zultmirax/zultmirax"
ceiling=2.30
passed=0 failed=0
ok() { echo "ok: $*"; passed=$((passed + 1)); }
fail() { echo "FAIL: $*"; failed=$((failed + 1)); }
check() { # DESCRIPTION EXPECTED ACTUAL
    if [ "$2" = "$3" ]; then ok "$1"; else fail "$1: expected '$2', got '$3'"; fi
}

# Layout: exactly these files.
expected="README.md
ZULT-MIRAX.sh
cover.png
gameinfo.xml
port.json
screenshot.png
zultmirax/bin.aarch64/zultmirax
zultmirax/bin.aarch64/zultmirax-replay
zultmirax/bin.armhf/zultmirax
zultmirax/bin.armhf/zultmirax-replay
zultmirax/cover.png
zultmirax/libs.aarch64/libSDL-1.2.so.0
zultmirax/libs.armhf/libSDL-1.2.so.0
zultmirax/licenses/LICENSE
zultmirax/licenses/LICENSE.sdl12-compat
zultmirax/zultmirax.gptk"
check "the port holds exactly the expected files" "$expected" "$(cd "$port" && find . -type f -printf '%P\n' | LC_ALL=C sort)"
for f in ZULT-MIRAX.sh zultmirax/bin.aarch64/zultmirax zultmirax/bin.aarch64/zultmirax-replay \
    zultmirax/bin.armhf/zultmirax zultmirax/bin.armhf/zultmirax-replay; do
    [ -x "$port/$f" ] && ok "$f is executable" || fail "$f is not executable"
done
for f in port.json ZULT-MIRAX.sh README.md; do
    cmp -s "$src/data/handheld/$f" "$port/$f" && ok "$f is the source's" || fail "$f differs from data/handheld/$f"
done
cmp -s "$src/data/handheld/zultmirax.gptk" "$game/zultmirax.gptk" && ok "the key mapping is the source's" ||
    fail "zultmirax.gptk differs from the source's"
cmp -s "$src/LICENSE" "$game/licenses/LICENSE" && ok "the game's licence is in licenses/" ||
    fail "licenses/LICENSE differs from LICENSE"
grep -q 'sdl12-compat' "$game/licenses/LICENSE.sdl12-compat" && grep -qi 'License: zlib' "$game/licenses/LICENSE.sdl12-compat" &&
    ok "the SDL 1.2 layer's licence is in licenses/" ||
    fail "licenses/LICENSE.sdl12-compat does not look like the layer's copyright file"
for f in screenshot.png cover.png; do
    check "$f is a 640x480 PNG" "PNG image data, 640 x 480" \
        "$(file -b "$port/$f" | grep -o 'PNG image data, [0-9]* x [0-9]*')"
done
cmp -s "$port/screenshot.png" "$port/cover.png" && fail "the cover is the screenshot again" ||
    ok "the cover is another picture of play than the screenshot"
cmp -s "$port/cover.png" "$game/cover.png" && ok "the game folder's cover is the port's" ||
    fail "zultmirax/cover.png differs from cover.png"

# The ports menu's entry (EmulationStation's gameList, one game), each field
# as the collection's rules ask; name and description port.json's.
x() { python3 -c 'import sys, xml.etree.ElementTree as E
r = E.parse(sys.argv[1]).getroot()
g = r.findall("game")
print(r.tag, len(g)) if sys.argv[2] == "." else print(g[0].findtext(sys.argv[2], "(none)"))' "$port/gameinfo.xml" "$1" 2>&1 | tail -1; }
check "gameinfo.xml is a gameList of one game" "gameList 1" "$(x .)"
check "its path is the start-up script's" ./ZULT-MIRAX.sh "$(x path)"
check "its name is port.json's title" "$(jq -r .attr.title "$port/port.json")" "$(x name)"
check "its description is port.json's" "$(jq -r .attr.desc "$port/port.json")" "$(x desc)"
image="$(x image)"
[[ "$image" == ./zultmirax/* && -f "$port/$image" ]] && ok "its image ($image) is installed with the game folder" ||
    fail "its image '$image' is not a file of the game folder"
check "its release date is the release's, as EmulationStation writes it" \
    "$(sed -nE 's/^set\(ZM_RELEASE_DATE ([0-9]{4})-([0-9]{2})-([0-9]{2})\)$/\1\2\3T000000/p' "$src/CMakeLists.txt")" \
    "$(x releasedate)"
for field in developer publisher genre; do
    check "its $field is named" true "$([[ "$(x "$field")" =~ ^[A-Za-z] ]] && echo true)"
done
check "it is for one player" 1 "$(x players)"

# The collection's metadata (version 2 of port.json).
json="$port/port.json"
q() { jq -c "$1" "$json" 2>/dev/null; }
check "port.json is version 2" 2 "$(q .version)"
check "port.json names the zip" '"zultmirax.zip"' "$(q .name)"
check "port.json lists the script and the game folder" '["ZULT-MIRAX.sh","zultmirax/"]' "$(q .items)"
for item in $(q '.items[]' | tr -d '"'); do
    [ -e "$port/$item" ] && ok "item $item is in the port" || fail "item $item is missing from the port"
done
check "the title is the game's" '"ZULT-MIRAX"' "$(q .attr.title)"
for key in desc inst; do
    check "attr.$key is a sentence" true "$(q ".attr.$key | type == \"string\" and length > 20")"
done
for key in genres porter; do
    check "attr.$key is a list of names" true "$(q ".attr.$key | type == \"array\" and length > 0 and all(type == \"string\")")"
done
check "the port is ready to run" true "$(q .attr.rtr)"
check "it needs no runtime of the collection" null "$(q .attr.runtime)"
check "it has no requirements" '[]' "$(q .attr.reqs)"
check "the processors it lists are the bundled ones" '["aarch64","armhf"]' "$(q .attr.arch)"
min_glibc="$(q .attr.min_glibc | tr -d '"')"

# The zip: the same files at its top, the programs still executable.
zip="$out/zultmirax.zip"
unzip -tqq "$zip" >/dev/null 2>&1 && ok "the zip is sound" || fail "unzip -t fails on $zip"
check "the zip holds the port's files" "$expected" "$(unzip -Z1 "$zip" | grep -v '/$' | LC_ALL=C sort)"
check "the zip keeps the programs and the script executable" 5 \
    "$(unzip -Z "$zip" | grep -cE '^-rwx.* (ZULT-MIRAX\.sh|zultmirax/bin\.[a-z0-9]+/zultmirax(-replay)?)$')"

# Every ELF file in the port, found by its magic number.
elves=()
while IFS= read -r -d '' f; do
    [ "$(head -c 4 "$f" | od -An -c | tr -d ' ')" = '177ELF' ] && elves+=("$f")
done < <(find "$port" -type f -print0)
check "the port holds 6 ELF files (2 programs and a library per processor)" 6 "${#elves[@]}"

highest=0
for f in "${elves[@]}"; do
    rel="${f#"$port"/}"
    case "$rel" in
    */bin.aarch64/* | */libs.aarch64/*) want="ELF 64-bit LSB .* ARM aarch64" loader=ld-linux-aarch64.so.1 ;;
    */bin.armhf/* | */libs.armhf/*) want="ELF 32-bit LSB .* ARM, EABI5" loader=ld-linux-armhf.so.3 ;;
    *) fail "$rel is an ELF file outside the processors' folders"; continue ;;
    esac
    file -b "$f" | grep -qE "$want" && ok "$rel is built for its folder's processor" ||
        fail "$rel is not '$want': $(file -b "$f")"
    # Symbols: the highest GLIBC_ version any of them is bound to.
    symbols="$(objdump -T "$f" | grep -oE '\(?GLIBC_[0-9]+\.[0-9]+(\.[0-9]+)?\)?' | tr -d '()' | sed 's/GLIBC_//' | sort -uV)"
    top="$(tail -1 <<<"$symbols")"
    # Needs: every version of a library the loader checks before it runs.
    needs="$(objdump -p "$f" | sed -n '/^Version References:/,/^$/p' |
        awk '$1 ~ /^0x/ && $4 ~ /^GLIBC_/ { sub("GLIBC_", "", $4); print $4 }' | sort -uV)"
    top_need="$(tail -1 <<<"$needs")"
    worst="$(printf '%s\n%s\n' "$top" "$top_need" | sort -V | tail -1)"
    if [ -n "$worst" ] && [ "$(printf '%s\n%s\n' "$worst" "$ceiling" | sort -V | tail -1)" = "$ceiling" ]; then
        ok "$rel asks glibc for $worst at most (symbols $top, needs $top_need)"
    else
        fail "$rel asks glibc for ${worst:-nothing readable} (symbols: $top; needs: $top_need)"
    fi
    highest="$(printf '%s\n%s\n' "$highest" "${worst:-0}" | sort -V | tail -1)"
    # What it loads: the bundled layer, the device's C library (the C++
    # runtime is inside), the layer's libdl for its dlopen.
    needed="$(objdump -p "$f" | awk '$1 == "NEEDED" { print $2 }' | LC_ALL=C sort | paste -sd' ')"
    case "$rel" in
    */bin.*/*) allowed="$loader libSDL-1.2.so.0 libc.so.6 libm.so.6" ;;
    */libs.*/*) allowed="$loader libc.so.6 libdl.so.2" ;;
    esac
    stray=""
    for n in $needed; do [[ " $allowed " == *" $n "* ]] || stray+=" $n"; done
    [ -z "$stray" ] && ok "$rel loads only [$needed]" || fail "$rel needs what the device may lack:$stray"
    if [[ "$rel" == */libs.* ]]; then
        check "$rel takes dlopen, dlsym and dlclose unversioned, from libdl or libc" "dlclose dlopen dlsym" \
            "$(objdump -T "$f" | awk '$NF ~ /^dl(open|sym|close)$/ && $(NF-1) == "Base" { print $NF }' | sort | paste -sd' ')"
        [[ " $needed " == *" libdl.so.2 "* ]] && ok "$rel needs libdl.so.2, where older C libraries keep them" ||
            fail "$rel does not need libdl.so.2"
    fi
done
echo "glibc ceiling of the bundle: $highest (at most $ceiling allowed)"
check "port.json's min_glibc is what the bundle needs" "$highest" "$min_glibc"

echo "handheld bundle: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
