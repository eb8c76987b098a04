#!/usr/bin/env bash
# startup_test.sh SCRIPT: the port's start-up script against stand-ins for
# a device: PortMaster's folder (control.txt with its functions and the
# device's architecture, screen size and controller mapping, a firmware's
# mod file, the key mapper) and the game folder with a stand-in program that
# writes down what it was given. Checks what the script sets, what it runs,
# in which order, and where.
set -uo pipefail
script="$(realpath "$1")"
passed=0 failed=0
ok() { echo "ok: $*"; passed=$((passed + 1)); }
fail() { echo "FAIL: $*"; failed=$((failed + 1)); }
check() { # DESCRIPTION EXPECTED ACTUAL
    if [ "$2" = "$3" ]; then ok "$1"; else fail "$1: expected '$2', got '$3'"; fi
}

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
mapping='03000000091200000031000011010000,OpenSimHardware OSH PGCS L1,a:b1,b:b0,x:b3,y:b2,back:b8,start:b9,dpup:h0.1,platform:Linux,'

# device NAME [VAR=VALUE...]: a fresh device under $tmp/NAME whose
# control.txt sets the defaults below, overridden by the VAR=VALUEs; the
# port is installed in its ports folder. Leaves $dev and $log set.
device() {
    dev="$tmp/$1"
    shift
    log="$dev/calls"
    local pm="$dev/home/.local/share/PortMaster" gamedir="$dev/ports/zultmirax"
    mkdir -p "$pm" "$gamedir"
    cp "$script" "$dev/ports/ZULT-MIRAX.sh"
    : >"$gamedir/zultmirax.gptk"
    local a
    for a in aarch64 armhf; do
        mkdir -p "$gamedir/bin.$a" "$gamedir/libs.$a"
        # The game: writes down its folder, arguments and environment, and
        # waits (a while) for the key mapper to see it running.
        cat >"$gamedir/bin.$a/zultmirax" <<EOF
#!/bin/bash
echo "game \$0 \$*" >>"$log"
pwd >"$dev/game.cwd"
env >"$dev/game.env"
touch "$dev/game.running"
for i in \$(seq 50); do [ -f "$dev/keymapper.saw" ] && break; sleep 0.1; done
exit \${ZM_STANDIN_STATUS:-0}
EOF
        chmod +x "$gamedir/bin.$a/zultmirax"
    done
    # The key mapper: sees the game start only when it runs beside it.
    cat >"$dev/gptokeyb" <<EOF
#!/bin/bash
echo "keymapper \$*" >>"$log"
for i in \$(seq 50); do [ -f "$dev/game.running" ] && break; sleep 0.1; done
[ -f "$dev/game.running" ] && echo "keymapper saw the game" >>"$log" && touch "$dev/keymapper.saw"
EOF
    chmod +x "$dev/gptokeyb"
    {
        echo "directory='${dev#/}'"
        echo "DEVICE_ARCH=aarch64 DISPLAY_WIDTH=640 DISPLAY_HEIGHT=480 CFW_NAME=ArkOS"
        echo "GPTOKEYB='$dev/gptokeyb'"
        echo "get_controls() { echo get_controls >>'$log'; sdl_controllerconfig='$mapping'; }"
        echo "pm_finish() { echo pm_finish >>'$log'; }"
        for a in "$@"; do printf '%q\n' "$a"; done
    } >"$pm/control.txt"
}

# start [VAR=VALUE...]: runs the installed script as the ports menu does,
# from another folder, with a clean environment; leaves $status set.
start() {
    (cd / && env -i HOME="$dev/home" PATH="$PATH" LD_LIBRARY_PATH=/usr/lib/device "$@" \
        timeout 30 bash "$dev/ports/ZULT-MIRAX.sh" >"$dev/out" 2>&1)
    status=$?
}
game_env() { sed -n "s/^$1=//p" "$dev/game.env"; }

# A 640x480 aarch64 device: everything the script sets and runs.
device plain
start
check "a plain start exits with the game's status" 0 "$status"
check "the controls come first and the collection's end last" "get_controls pm_finish" \
    "$(head -1 "$log") $(tail -1 "$log")"
check "the key mapper starts for the game with the port's mapping file" \
    "keymapper zultmirax -c $dev/ports/zultmirax/zultmirax.gptk" "$(grep '^keymapper zultmirax' "$log")"
check "the aarch64 program runs, with no arguments" "game $dev/ports/zultmirax/bin.aarch64/zultmirax " \
    "$(grep '^game' "$log")"
check "the key mapper runs beside the game, not before it" "keymapper saw the game" "$(grep '^keymapper saw' "$log")"
check "the game runs in its own folder" "$dev/ports/zultmirax" "$(cat "$dev/game.cwd")"
check "the game's libraries come first, the device's after them" \
    "$dev/ports/zultmirax/libs.aarch64:/usr/lib/device" "$(game_env LD_LIBRARY_PATH)"
check "the device's controller mapping reaches SDL" "$mapping" "$(game_env SDL_GAMECONTROLLERCONFIG)"
check "the SDL 1.2 layer's controller switch is on" 1 "$(game_env SDL12COMPAT_USE_GAME_CONTROLLERS)"
check "640x480 scales the screen twice" 2 "$(game_env SDL12COMPAT_WINDOW_SCALING)"
check "pixels stay crisp" nearest "$(game_env SDL12COMPAT_SCALE_METHOD)"
[ -f "$dev/ports/zultmirax/log.txt" ] && ok "the script keeps a log beside the game" ||
    fail "no log.txt beside the game"

# The screen: the largest whole factor of 320x240 that fits, from the
# collection's size, else the framebuffer's, else none.
for case in 320x240:1 480x320:1 640x480:2 720x720:2 854x480:2 960x720:3 1280x720:3 1920x1080:4 2560x1600:6 800x1280:2; do
    size="${case%:*}" want="${case#*:}"
    device "screen-$size" "DISPLAY_WIDTH=${size%x*}" "DISPLAY_HEIGHT=${size#*x}"
    start
    check "a ${size} screen scales by $want" "$want" "$(game_env SDL12COMPAT_WINDOW_SCALING)"
done
device framebuffer DISPLAY_WIDTH= DISPLAY_HEIGHT=
echo "1024,768" >"$dev/fb-size"
start ZM_FB_SIZE_FILE="$dev/fb-size"
check "without the collection's size the framebuffer's counts (1024x768: 3)" 3 "$(game_env SDL12COMPAT_WINDOW_SCALING)"
device no-size DISPLAY_WIDTH=wide DISPLAY_HEIGHT=
start ZM_FB_SIZE_FILE="$dev/none"
check "with no size known the game keeps its own" 1 "$(game_env SDL12COMPAT_WINDOW_SCALING)"

# The processor picks the programs and the libraries.
device armhf DEVICE_ARCH=armhf
start
check "an armhf device runs the armhf program" "game $dev/ports/zultmirax/bin.armhf/zultmirax " "$(grep '^game' "$log")"
check "an armhf device gets the armhf libraries first" "$dev/ports/zultmirax/libs.armhf:/usr/lib/device" \
    "$(game_env LD_LIBRARY_PATH)"
device other DEVICE_ARCH=x86_64
start
check "a device with no program for it stops with an error" 1 "$status"
check "... and runs nothing, but ends as the collection expects" "get_controls|pm_finish" "$(paste -sd'|' "$log")"
grep -q "no program for this device's processor (x86_64)" "$dev/out" &&
    ok "... and says why" || fail "no message for a missing program: $(cat "$dev/out")"

# The firmware's own additions are read after control.txt.
device mod
echo "GPTOKEYB='$dev/gptokeyb --from-mod'" >"$dev/home/.local/share/PortMaster/mod_ArkOS.txt"
start
check "mod_\$CFW_NAME.txt is read after control.txt" "keymapper --from-mod zultmirax -c $dev/ports/zultmirax/zultmirax.gptk" \
    "$(grep '^keymapper --from' "$log")"

# The game's exit status is the script's; the end still runs.
device failing
start ZM_STANDIN_STATUS=3
check "the game's failure is the script's" 3 "$status"
check "... after the collection's end" pm_finish "$(tail -1 "$log")"

# PortMaster's folder when XDG_DATA_HOME points elsewhere.
device xdg
mkdir -p "$dev/xdg" && mv "$dev/home/.local/share/PortMaster" "$dev/xdg/"
start XDG_DATA_HOME="$dev/xdg"
check "the collection's folder is found under XDG_DATA_HOME" 0 "$status"
check "... and used" get_controls "$(head -1 "$log")"

echo "start-up script: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
