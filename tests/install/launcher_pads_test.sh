#!/usr/bin/env bash
# launcher_pads_test.sh LAUNCHER: the launcher turns the SDL layer's
# game-controller layout on where the SDL library the game loads has it, and
# leaves a player's own setting alone. ldd is stood in for by a script that
# names a stand-in library, with or without the layer's switch in it; a
# stand-in game shows what it is really handed.
set -u
launcher="$1"
fail=0
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/bin" "$tmp/game"
cat >"$tmp/bin/ldd" <<'LDD'
#!/bin/sh
[ -n "$FAKE_SDL" ] || { echo "	not a dynamic executable"; exit 1; }
printf '\tlinux-vdso.so.1 (0x00007ffd)\n\tlibSDL-1.2.so.0 => %s (0x00007f74)\n\tlibc.so.6 => /lib/libc.so.6 (0x00007f70)\n' "$FAKE_SDL"
LDD
chmod +x "$tmp/bin/ldd"
printf 'SDL12COMPAT_WINDOW_SCALING\0SDL12COMPAT_USE_GAME_CONTROLLERS\0' >"$tmp/layer.so"
printf 'SDL_Init\0SDL_JoystickOpen\0' >"$tmp/classic.so"
cp "$launcher" "$tmp/game/zultmirax-launcher"
cat >"$tmp/game/zultmirax" <<'GAME'
#!/bin/sh
echo "${SDL12COMPAT_USE_GAME_CONTROLLERS-unset}"
GAME
chmod +x "$tmp/game/zultmirax"

# What --window-env prints of the pad setting, what the game gets, and --why.
check() { # description, printed, handed, why pattern, then env settings
    local what="$1" want_printed="$2" want_handed="$3" want_why="$4"; shift 4
    local run=(env -i PATH="$tmp/bin:/usr/bin:/bin" ZM_WINDOW_PATH=default "$@" "$tmp/game/zultmirax-launcher")
    local printed handed why
    printed="$("${run[@]}" --window-env 2>/dev/null | grep '^SDL12COMPAT_USE_GAME_CONTROLLERS=' | tr '\n' ' ')"
    handed="$("${run[@]}")"
    why="$("${run[@]}" --window-env --why 2>&1 >/dev/null)"
    if [ "$printed" != "$want_printed" ] || [ "$handed" != "$want_handed" ]; then
        echo "FAILED: $what: printed '$printed', handed '$handed'; want '$want_printed', '$want_handed'"
        fail=1
    elif ! printf '%s\n' "$why" | grep -q "$want_why"; then
        echo "FAILED: $what: --why said '$why'"
        fail=1
    else
        echo "ok: $what"
    fi
}
check "the layer with the switch gets every pad as a game controller" \
    "SDL12COMPAT_USE_GAME_CONTROLLERS=1 " 1 "layer.so has the game-controller layout" FAKE_SDL="$tmp/layer.so"
check "an SDL without the switch keeps the pads' own numbers" \
    "" unset "classic.so has no game-controller layout" FAKE_SDL="$tmp/classic.so"
check "a game whose SDL cannot be told keeps the pads' own numbers" "" unset "cannot tell which SDL"
check "a player's 0 turns the layout off" "" 0 "is set already" \
    FAKE_SDL="$tmp/layer.so" SDL12COMPAT_USE_GAME_CONTROLLERS=0
check "a player's own value is kept, even an empty one" "" "" "is set already" \
    FAKE_SDL="$tmp/layer.so" SDL12COMPAT_USE_GAME_CONTROLLERS=

# The real game beside the launcher, on this machine's SDL: the line agrees
# with what that library holds.
if [ -n "${ZM_GAME-}" ] && [ -x "$ZM_GAME" ]; then
    library="$(ldd "$ZM_GAME" | sed -n 's/^[[:space:]]*libSDL-1\.2\.so\.0 => \([^ ]*\) .*/\1/p')"
    cp "$launcher" "$(dirname "$ZM_GAME")/.pads-launcher"
    printed="$(env -i PATH=/usr/bin:/bin ZM_WINDOW_PATH=default "$(dirname "$ZM_GAME")/.pads-launcher" --window-env |
        grep -c '^SDL12COMPAT_USE_GAME_CONTROLLERS=1$')"
    rm -f "$(dirname "$ZM_GAME")/.pads-launcher"
    has=0
    grep -q SDL12COMPAT_USE_GAME_CONTROLLERS "$library" 2>/dev/null && has=1
    if [ -n "$library" ] && [ "$printed" = "$has" ]; then
        echo "ok: beside the real game, the switch follows $library ($printed)"
    else
        echo "FAILED: beside the real game: library '$library', printed $printed, has $has"
        fail=1
    fi
fi
exit "$fail"
