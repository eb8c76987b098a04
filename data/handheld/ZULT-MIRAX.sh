#!/bin/bash
# Starts ZULT-MIRAX from the ports menu of a Linux handheld whose system
# carries PortMaster: the collection's settings for this device, the game's
# own SDL 1.2 layer over the device's SDL 2, the device's controller
# mapping, the 320x240 screen at the largest whole scale the device's screen
# holds, and the key mapper that quits on Select (Escape, as on a keyboard).

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

GAMEDIR="/$directory/ports/zultmirax"
cd "$GAMEDIR" || exit 1
# Everything said from here on lands in log.txt beside the game too, for a
# bug report.
: >"$GAMEDIR/log.txt" && exec > >(tee "$GAMEDIR/log.txt") 2>&1

# The collection names the processor; an older one may not.
arch="${DEVICE_ARCH:-$(uname -m)}"
case "$arch" in
    aarch64 | arm64) arch=aarch64 ;;
    armhf | armv7* | armv8l) arch=armhf ;;
esac
# Each processor's programs in a folder of their own, under the name the key
# mapper looks for (a process name is cut at 15 characters).
program="$GAMEDIR/bin.$arch/zultmirax"
if [ ! -f "$program" ]; then
    echo "ZULT-MIRAX: no program for this device's processor ($arch); there are aarch64 and armhf"
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
    IFS=, read -r width height <"${ZM_FB_SIZE_FILE:-/sys/class/graphics/fb0/virtual_size}" 2>/dev/null
fi
scale=1
if [[ "$width" =~ ^[0-9]+$ && "$height" =~ ^[0-9]+$ ]]; then
    scale=$((width / 320 < height / 240 ? width / 320 : height / 240))
    [ "$scale" -ge 1 ] || scale=1
fi

export LD_LIBRARY_PATH="$GAMEDIR/libs.$arch${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
export SDL_GAMECONTROLLERCONFIG="$sdl_controllerconfig"
# The SDL 1.2 layer reads the pad through SDL 2's game controllers (the
# mapping above), and the game then uses the controller layout: A fires.
export SDL12COMPAT_USE_GAME_CONTROLLERS=1
export SDL12COMPAT_WINDOW_SCALING="$scale"
export SDL12COMPAT_SCALE_METHOD=nearest

$GPTOKEYB zultmirax -c "$GAMEDIR/zultmirax.gptk" &
if declare -F pm_platform_helper >/dev/null; then pm_platform_helper "$program"; fi
"$program"
status=$?

pm_finish
exit $status
