#!/usr/bin/env bash
# compare_test.sh WINDOWS_RUNNER LINUX_RUNNER [PASSES]: a long random
# script (200,000 passes by default: keys, joystick buttons of three pads
# and stick movements, pressed and released at random) gives byte-identical
# trace, event log, WAV and screenshots from the Windows runner under Wine
# and the Linux runner, once in the handheld's button numbering and once in
# the one Windows' pads use (browser). ZM_COMPARE_SEED picks another script.
set -euo pipefail
win="$(realpath "$1")"
linux="$(realpath "$2")"
passes="${3:-200000}"
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/wine_env.sh"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"; wine_stop' EXIT
cd "$tmp"

# No quit keys: the run goes its whole length.
awk -v passes="$passes" -v seed="${ZM_COMPARE_SEED:-28061}" '
function rnd(n) { seed = (seed * 16807) % 2147483647; return seed % n }
BEGIN {
    split("up down left right z space x c v 273 274 275 276 122 32 13 97", keys, " ")
    p = 0
    while (1) {
        p += rnd(12)
        if (p >= passes) break
        k = rnd(10)
        if (k < 6) print p " key " (rnd(2) ? "down" : "up") " " keys[1 + rnd(17)]
        else if (k < 8) print p " joy " (rnd(2) ? "down" : "up") " " rnd(3) " " (rnd(3) ? 12 : rnd(20))
        else print p " axis " rnd(3) " " rnd(3) " " (rnd(65536) - 32768)
    }
}' >script.txt
shots=()
for p in 200 1500 9000 40000 77777 120000 150001 $((passes - 1)); do
    [ "$p" -lt "$passes" ] && shots+=(--screenshot "$p:shot-$p.bmp")
done

for layout in handheld browser; do
    mkdir -p "win-$layout" "linux-$layout"
    args=(--input "$tmp/script.txt" --passes "$passes" --pad-layout "$layout" --trace trace.csv --events events.csv
        --audio sound.wav "${shots[@]}")
    (cd "linux-$layout" && "$linux" "${args[@]}")
    (cd "win-$layout" && wine "$win" "${args[@]}")
    n=0
    for f in "linux-$layout"/*; do
        cmp "$f" "win-$layout/$(basename "$f")" || { echo "FAILED: $layout: $(basename "$f") differs"; exit 1; }
        n=$((n + 1))
    done
    [ "$n" -eq $((3 + ${#shots[@]} / 2)) ] || { echo "FAILED: $layout: $n files, not $((3 + ${#shots[@]} / 2))"; exit 1; }
    echo "ok: $layout: $(wc -l <script.txt) events over $passes passes: the $n files are byte for byte Linux's"
done
