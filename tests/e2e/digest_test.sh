#!/usr/bin/env bash
# digest_test.sh REPLAY SOURCE_DIR: the runner's output files for the kept
# scripts (the docs replays and a generated busy script) are byte for byte
# the ones in digests.txt. Speed work on the runner must not change what it
# writes; a change of the game's behaviour that is meant shows here too, and
# then the digests are remade with `digest_test.sh REPLAY SOURCE_DIR --write`.
set -euo pipefail
replay="$(realpath "$1")"
src="$(realpath "$2")"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"
"$src/tools/bench/busy-script" 60000 >busy.txt
run() { # name script passes [more arguments]
    local name="$1" script="$2" passes="$3"; shift 3
    # ZM_EMULATOR: the cross build's emulator, whose words come first.
    ${ZM_EMULATOR:-} "$replay" --input "$script" --passes "$passes" --trace "$name.trace" --events "$name.events" \
        --audio "$name.wav" "$@"
}
run idle "$src/docs/replays/idle.txt" 3000
run game "$src/docs/replays/game.txt" 4000 --screenshot 1745:game.bmp
run game-over "$src/docs/replays/game-over.txt" 40000
run busy busy.txt 60000
sha256sum -- *.trace *.events *.wav *.bmp >digests.txt
if [ "${3:-}" = "--write" ]; then
    cp digests.txt "$src/tests/e2e/digests.txt"
    exit 0
fi
diff "$src/tests/e2e/digests.txt" digests.txt && echo "ok: all $(wc -l <digests.txt) output files are unchanged"
