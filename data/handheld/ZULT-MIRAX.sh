#!/bin/bash
# Starts ZULT-MIRAX from the ports menu of a Linux handheld whose system
# carries PortMaster: the collection's settings for this device, the game's
# own SDL 1.2 layer over the device's SDL 2, the device's controller
# mapping, the 320x240 screen at the largest whole scale the device's screen
# holds, and the key mapper that quits on Select (Escape, as on a keyboard).
#
# No -e or -u here: the collection's helpers sourced below are written for a
# shell without them. Device files are read under ZM_DEVICE_ROOT (empty on a
# device; the start-up test points it at a stand-in).

XDG_DATA_HOME=${XDG_DATA_HOME:-$HOME/.local/share}

if [ -d "/opt/system/Tools/PortMaster/" ]; then
    controlfolder="/opt/system/Tools/PortMaster"
elif [ -d "/opt/tools/PortMaster/" ]; then
    controlfolder="/opt/tools/PortMaster"
elif [ -d "$XDG_DATA_HOME/PortMaster/" ]; then
    controlfolder="$XDG_DATA_HOME/PortMaster"
else
    controlfolder="/roms/ports/PortMaster"
fi

source "$controlfolder/control.txt"
[ -f "$controlfolder/mod_$CFW_NAME.txt" ] && source "$controlfolder/mod_$CFW_NAME.txt"
get_controls

device="${ZM_DEVICE_ROOT:-}"
GAMEDIR="/$directory/ports/zultmirax"
cd "$GAMEDIR" || exit 1
# Everything said from here on lands in log.txt beside the game too, for a
# bug report. The writer is started by a relative name: the collection's
# hotkey quit ends the game by matching "zultmirax" anywhere in a command
# line, and must not end the log's writer before the game's last words.
: >log.txt && exec > >(exec tee log.txt) 2>&1

# say MESSAGE: for the player, in the collection's dialog where it has one,
# and in the log always.
say() {
    echo "ZULT-MIRAX: $1"
    if declare -F pm_message >/dev/null; then pm_message "$1"; fi
}

# The collection names the processor; an older one may not. A 64-bit kernel
# may run a 32-bit system: the programs follow the system's loader.
arch="${DEVICE_ARCH:-$(uname -m)}"
case "$arch" in
    aarch64 | arm64) arch=aarch64 ;;
    armhf | armv7* | armv8l) arch=armhf ;;
esac
declare -A loader=([aarch64]=ld-linux-aarch64.so.1 [armhf]=ld-linux-armhf.so.3)
if [ "$arch" = aarch64 ] && [ ! -e "$device/lib/${loader[aarch64]}" ] && [ -e "$device/lib/${loader[armhf]}" ]; then
    arch=armhf
fi
# Each processor's programs in a folder of their own, under the name the key
# mapper looks for (a process name is cut at 15 characters).
program="$GAMEDIR/bin.$arch/zultmirax"
if [ ! -f "$program" ]; then
    say "no program for this device's processor ($arch); there are aarch64 and armhf"
    pm_finish
    exit 1
fi

# The largest whole factor of 320x240 that fits the screen, so that every
# game pixel is the same square of screen pixels (2 on 640x480). The size
# comes from the collection, else from the framebuffer; without either the
# game keeps its own size and the device scales it.
width="${DISPLAY_WIDTH:-}"
height="${DISPLAY_HEIGHT:-}"
if ! [[ "$width" =~ ^[0-9]+$ && "$height" =~ ^[0-9]+$ ]]; then
    IFS=, read -r width height <"$device/sys/class/graphics/fb0/virtual_size" 2>/dev/null
fi
scale=1
if [[ "$width" =~ ^[0-9]+$ && "$height" =~ ^[0-9]+$ ]]; then
    scale=$((width / 320 < height / 240 ? width / 320 : height / 240))
    [ "$scale" -ge 1 ] || scale=1
fi

# The device's controller mapping. Linux starts no program whose environment
# holds a string over 128 KiB, and where the collection does not know the
# device it hands over its whole database (some 470 KB): a mapping over
# mapping_limit goes to SDL in a file instead (SDL_GAMECONTROLLERCONFIG_FILE,
# read by bullseye's SDL 2.0.14 and later), and the variable keeps, for an
# older SDL 2, the lines of the pads that are connected, up to the same
# limit.
mapping_limit=65536
mapping_file="$GAMEDIR/gamecontrollerdb.txt"
text_bytes() { local LC_ALL=C; echo "${#1}"; }
# connected_mappings FILE: the lines of FILE whose GUID is that of a pad in
# the kernel's list of input devices (one with a joystick handler), as SDL 2
# makes it: bus, then vendor and product, or for a device without them the
# first 11 bytes of its name (CRC and version left out: SDL matches without
# them). Whole lines, mapping_limit bytes at most.
connected_mappings() {
    awk -v limit="$mapping_limit" '
        function le(h) { h = tolower(h); return substr(h, 3, 2) substr(h, 1, 2) }
        function hexname(s,   i, out) {
            for (i = 1; i <= 11; i++) out = out (i <= length(s) ? sprintf("%02x", ord[substr(s, i, 1)]) : "00")
            return out "00"
        }
        BEGIN { for (i = 1; i < 256; i++) ord[sprintf("%c", i)] = i }
        FNR == 1 { part++ }
        part == 1 && /^I:/ {
            for (i = 2; i <= NF; i++) { split($i, kv, "="); id[kv[1]] = kv[2] }
            name = ""
        }
        part == 1 && /^N: Name=/ { name = $0; sub(/^N: Name="/, "", name); sub(/"$/, "", name) }
        part == 1 && /^H:.*[= ]js[0-9]/ {
            if (id["Vendor"] != "0000" && id["Product"] != "0000")
                pad[le(id["Bus"]) ":" le(id["Vendor"]) "0000" le(id["Product"])] = 1
            else pad[le(id["Bus"]) ":" hexname(name)] = 1
        }
        part == 2 {
            g = tolower(substr($0, 1, 32))
            if (!((substr(g, 1, 4) ":" substr(g, 9, 12)) in pad) && !((substr(g, 1, 4) ":" substr(g, 9, 24)) in pad)) next
            if (total + length($0) + 1 > limit) exit
            total += length($0) + 1
            print
        }
    ' "$device/proc/bus/input/devices" "$1" 2>/dev/null
}
if [ "$(text_bytes "$sdl_controllerconfig")" -le "$mapping_limit" ]; then
    rm -f "$mapping_file"
    export SDL_GAMECONTROLLERCONFIG="$sdl_controllerconfig"
else
    printf '%s\n' "$sdl_controllerconfig" >"$mapping_file"
    SDL_GAMECONTROLLERCONFIG="$(LC_ALL=C connected_mappings "$mapping_file")"
    export SDL_GAMECONTROLLERCONFIG SDL_GAMECONTROLLERCONFIG_FILE="$mapping_file"
    echo "ZULT-MIRAX: the controller mapping ($(text_bytes "$sdl_controllerconfig") bytes) is in $mapping_file;" \
        "the connected pads' $(grep -c . <<<"$SDL_GAMECONTROLLERCONFIG") lines are in SDL_GAMECONTROLLERCONFIG"
fi

export LD_LIBRARY_PATH="$GAMEDIR/libs.$arch${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
# The SDL 1.2 layer reads the pad through SDL 2's game controllers (the
# mapping above), and the game then uses the controller layout: A fires.
export SDL12COMPAT_USE_GAME_CONTROLLERS=1
export SDL12COMPAT_WINDOW_SCALING="$scale"
export SDL12COMPAT_SCALE_METHOD=nearest

# The key mapper only for what the game cannot read from the pad: the quit
# (zultmirax.gptk), and the collection's hotkey quit, which ends the
# programs named here.
$GPTOKEYB zultmirax -c "$GAMEDIR/zultmirax.gptk" &
if declare -F pm_platform_helper >/dev/null; then pm_platform_helper "$program"; fi
"$program"
status=$?
# A failure is the player's to read; an end by a signal (128 + its number,
# the collection's hotkey quit among them) is only logged.
if [ "$status" -gt 128 ] && [ "$status" -le 192 ]; then
    echo "ZULT-MIRAX: the game ended with status $status"
elif [ "$status" -ne 0 ]; then
    say "the game ended with status $status; log.txt in the port's folder tells more"
fi

pm_finish
exit $status
