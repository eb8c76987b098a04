#!/usr/bin/env bash
# startup_test.sh SCRIPT: the port's start-up script against stand-ins for
# a device: PortMaster's folder (control.txt with its functions and the
# device's architecture, screen size and controller mapping, a firmware's
# mod file, the key mapper with its hotkey quit), the system's files the
# script reads (the loaders, the framebuffer's size, the kernel's list of
# input devices) and the game folder with a stand-in program that writes
# down what it was given. Checks what the script sets, what it runs, in
# which order, and where.
set -uo pipefail
script="$(realpath "$1")"
gptk="$(dirname "$script")/zultmirax.gptk"
passed=0 failed=0
ok() { echo "ok: $*"; passed=$((passed + 1)); }
fail() { echo "FAIL: $*"; failed=$((failed + 1)); }
check() { # DESCRIPTION EXPECTED ACTUAL (a long value shown by its start)
    if [ "$2" = "$3" ]; then ok "$1"; else fail "$1: expected '${2:0:400}', got '${3:0:400}'"; fi
}

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
mapping='03000000091200000031000011010000,OpenSimHardware OSH PGCS L1,a:b1,b:b0,x:b3,y:b2,back:b8,start:b9,dpup:h0.1,platform:Linux,'
# The connected pad as the kernel lists it (the GUID above: bus 0x0003,
# vendor 0x1209, product 0x3100, version 0x0111, little-endian).
connected_pad='I: Bus=0003 Vendor=1209 Product=3100 Version=0111
N: Name="OpenSimHardware OSH PGCS L1"
P: Phys=usb-ff300000.usb-1/input0
H: Handlers=event2 js0
B: EV=1b
'

# device NAME [VAR=VALUE...]: a fresh device under $tmp/NAME whose
# control.txt sets the defaults below, overridden by the VAR=VALUEs; the
# port is installed in its ports folder; its system (under $dev/root) is a
# 64-bit one that runs 32-bit programs too, with the pad above connected.
# get_controls hands over the text of $dev/mapping.txt, and sets no mapping
# without it. Leaves $dev and $log set.
device() {
    dev="$tmp/$1"
    shift
    log="$dev/calls"
    local pm="$dev/home/.local/share/PortMaster" gamedir="$dev/ports/zultmirax"
    mkdir -p "$pm" "$gamedir" "$dev/root/lib" "$dev/root/proc/bus/input" "$dev/bin"
    cp "$script" "$dev/ports/ZULT-MIRAX.sh"
    cp "$gptk" "$gamedir/zultmirax.gptk"
    : >"$dev/root/lib/ld-linux-aarch64.so.1"
    : >"$dev/root/lib/ld-linux-armhf.so.3"
    printf '%s\n' "$connected_pad" >"$dev/root/proc/bus/input/devices"
    printf '%s\n' "$mapping" >"$dev/mapping.txt"
    local a
    for a in aarch64 armhf; do
        mkdir -p "$gamedir/bin.$a" "$gamedir/libs.$a"
        # The game: writes down its folder, arguments and environment (each
        # string on a line of its own in game.environ), and waits (a while)
        # for the key mapper to see it running; with the hotkey stand-in it
        # waits to be ended, and says its last words then.
        cat >"$gamedir/bin.$a/zultmirax" <<EOF
#!/bin/bash
trap 'echo "game: ended by the hotkey"; exit 143' TERM
echo "game \$0 \$*" >>"$log"
pwd >"$dev/game.cwd"
env >"$dev/game.env"
tr '\n\0' ' \n' </proc/\$\$/environ >"$dev/game.environ"
printf '%s' "\$SDL_GAMECONTROLLERCONFIG" >"$dev/game.mapping"
echo "game: running"
touch "$dev/game.running"
for i in \$(seq 50); do [ -f "$dev/keymapper.saw" ] && break; sleep 0.1; done
[ -z "\${ZM_STANDIN_HOTKEY:-}" ] || for i in \$(seq 300); do sleep 0.1; done
exit \${ZM_STANDIN_STATUS:-0}
EOF
        chmod +x "$gamedir/bin.$a/zultmirax"
    done
    # The key mapper: sees the game start only when it runs beside it. Its
    # hotkey quit ends, as the collection's does, every process whose
    # command line holds the name it was given (here: of this start only).
    cat >"$dev/gptokeyb" <<EOF
#!/bin/bash
echo "keymapper \$*" >>"$log"
for i in \$(seq 50); do [ -f "$dev/game.running" ] && break; sleep 0.1; done
[ -f "$dev/game.running" ] && echo "keymapper saw the game" >>"$log" && touch "$dev/keymapper.saw"
if [ -n "\${ZM_STANDIN_HOTKEY:-}" ]; then echo "hotkey quit" >>"$log"; pkill -s 0 -f "\$1"; fi
EOF
    chmod +x "$dev/gptokeyb"
    {
        echo "directory='${dev#/}'"
        echo "DEVICE_ARCH=aarch64 DISPLAY_WIDTH=640 DISPLAY_HEIGHT=480 CFW_NAME=ArkOS"
        echo "GPTOKEYB='$dev/gptokeyb'"
        echo "get_controls() { echo get_controls >>'$log'; [ ! -f '$dev/mapping.txt' ] || sdl_controllerconfig=\"\$(<'$dev/mapping.txt')\"; }"
        # The collection's end starts programs of its own.
        echo "pm_finish() { echo pm_finish >>'$log'; env true || echo 'pm_finish could not start a program' >>'$log'; }"
        for a in "$@"; do printf '%q\n' "$a"; done
    } >"$pm/control.txt"
}

# with_dialog: the device's collection has its dialog helper, which writes
# down the message it shows.
with_dialog() {
    echo "pm_message() { echo \"pm_message \$*\" >>'$log'; }" >>"$dev/home/.local/share/PortMaster/control.txt"
}

# start [VAR=VALUE...]: runs the installed script as the ports menu does,
# from another folder, with a clean environment, in a session of its own;
# then waits for everything it started (the log's writer too) to end.
# Leaves $status set.
start() {
    (cd / && exec env -i HOME="$dev/home" PATH="$dev/bin:$PATH" LD_LIBRARY_PATH=/usr/lib/device \
        ZM_DEVICE_ROOT="$dev/root" "$@" setsid timeout 30 bash "$dev/ports/ZULT-MIRAX.sh" >"$dev/out" 2>&1) &
    local session=$!
    wait $session
    status=$?
    local i
    for i in $(seq 300); do running "$session" || break; sleep 0.1; done
    ! running "$session" || fail "processes of the start still run: $(ps -o pid=,stat=,args= --sid "$session")"
}
# running SESSION: a process of SESSION has not ended yet (one that has
# ended but waits for its parent to collect its status does not count).
running() { ps -o stat= --sid "$1" | grep -qv '^Z'; }
game_env() { sed -n "s/^$1=//p" "$dev/game.env"; }
game_log() { cat "$dev/ports/zultmirax/log.txt" 2>/dev/null; }

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

# The key mapper types only what the game cannot read from the pad: Escape
# for Select, its quit. A key for a button the game reads (A, the d-pad, the
# stick) would reach it a second time, from another process, in no order.
check "the key mapping sends Escape for Select and nothing else" "back = esc" \
    "$(grep -v '^[[:space:]]*\(#.*\)\?$' "$gptk" | sed 's/[[:space:]]*=[[:space:]]*/ = /')"

# The collection's hotkey quit ends the game (and whatever else names it)
# while the log's writer goes on: the game's last words and the script's
# own after it reach log.txt, and the collection's end still runs.
device hotkey
with_dialog
start ZM_STANDIN_HOTKEY=1
check "the hotkey quit ends the game, and the script says so" 143 "$status"
check "... then the collection's end runs, with no message for the player" "hotkey quit|pm_finish" \
    "$(tail -2 "$log" | paste -sd'|')"
check "... and the log holds everything said until the end" \
    "game: running|game: ended by the hotkey|ZULT-MIRAX: the game ended with status 143" "$(game_log | paste -sd'|')"

# The controller mapping. Linux starts no program with an environment string
# over 128 KiB: past 64 KiB the mapping goes to SDL in a file, and the
# variable keeps the connected pads' lines for an SDL 2 that reads no file.
# longest_env: the longest string in the game's environment, in bytes.
longest_env() { LC_ALL=C awk '{ if (length($0) > n) n = length($0) } END { print n + 0 }' "$dev/game.environ"; }
# A database of the size the collection hands over for a pad it does not
# know: about 470 KB, with the connected pads' lines among the others.
# Kept: the pad above, the same with the CRC of its name that newer SDL 2
# puts in its GUID, and a pad that the kernel lists without vendor and
# product, which SDL 2 knows by bus and name ("gpio-keys-p" and a NUL).
# Left out: a keyboard's (no joystick handler) and every other pad.
kept="$mapping
0300d1c5091200000031000000000000,OSH PGCS L1 (CRC),a:b1,b:b0,platform:Linux,
190000006770696f2d6b6579732d7000,GPIO pad,a:b0,b:b1,back:b6,platform:Linux,"
big_mapping() {
    local i
    for i in $(seq 1000 3999); do
        printf '03000000%04x0000%04x000010010000,Some pad number %d with a long name,a:b0,b:b1,x:b2,y:b3,back:b6,start:b7,dpup:h0.1,dpdown:h0.4,leftx:a0,lefty:a1,platform:Linux,\n' \
            "$i" "$i" "$i"
        [ "$i" -ne 2000 ] || printf '%s\n' "$kept"
        [ "$i" -ne 3000 ] || echo '03000000d9040000a1a0000011010000,USB keyboard,a:b0,platform:Linux,'
    done
}
device big-mapping
big_mapping >"$dev/mapping.txt"
cat >>"$dev/root/proc/bus/input/devices" <<'EOF'
I: Bus=0003 Vendor=04d9 Product=a0a1 Version=0111
N: Name="USB keyboard"
H: Handlers=sysrq kbd event3 leds

I: Bus=0019 Vendor=0000 Product=0000 Version=0000
N: Name="gpio-keys-pad"
H: Handlers=event4 js1

EOF
check "the stand-in's database is over 128 KiB, as the collection's (470 KB)" true \
    "$([ "$(wc -c <"$dev/mapping.txt")" -gt 460000 ] && echo true)"
start
check "a 470 KB mapping still starts the game" "game $dev/ports/zultmirax/bin.aarch64/zultmirax " "$(grep '^game' "$log")"
check "... and the key mapper" "keymapper zultmirax -c $dev/ports/zultmirax/zultmirax.gptk" "$(grep '^keymapper zultmirax' "$log")"
check "... and the collection's end starts its programs" "pm_finish" "$(tail -1 "$log")"
check "... exiting with the game's status" 0 "$status"
check "... with no environment string over 64 KiB" true "$([ "$(longest_env)" -le 65536 ] && echo true)"
check "... SDL is pointed at a file in the port's folder" "$dev/ports/zultmirax/gamecontrollerdb.txt" \
    "$(game_env SDL_GAMECONTROLLERCONFIG_FILE)"
cmp -s "$dev/mapping.txt" "$dev/ports/zultmirax/gamecontrollerdb.txt" && ok "... that holds the whole mapping" ||
    fail "gamecontrollerdb.txt is not the collection's mapping"
check "... and the variable holds the connected pads' lines, in order" "$kept" "$(cat "$dev/game.mapping")"
grep -q "the controller mapping ([0-9]* bytes) is in .*gamecontrollerdb.txt" "$dev/ports/zultmirax/log.txt" &&
    ok "... which the log tells" || fail "the log does not tell where the mapping went: $(game_log)"
# Without the kernel's list, no line is known to be wanted.
rm "$dev/root/proc/bus/input/devices"
start
check "without the kernel's list of devices the game starts" 0 "$status"
check "... with the whole mapping in the file and none in the variable" \
    "$dev/ports/zultmirax/gamecontrollerdb.txt|" "$(game_env SDL_GAMECONTROLLERCONFIG_FILE)|$(cat "$dev/game.mapping")"
# The limit: 64 KiB stays in the variable, a byte more goes to the file.
for size in 65536 65537; do
    device "mapping-$size"
    head -c "$((size - ${#mapping} - 1))" /dev/zero | tr '\0' x >"$dev/mapping.txt"
    printf '\n%s' "$mapping" >>"$dev/mapping.txt"
    start
    if [ "$size" -eq 65536 ]; then
        check "a mapping of 64 KiB reaches SDL in the variable" "$(cat "$dev/mapping.txt")" "$(cat "$dev/game.mapping")"
        check "... with no file" "" "$(game_env SDL_GAMECONTROLLERCONFIG_FILE)"
    else
        check "a byte more goes to the file, the connected pad's line in the variable" \
            "$dev/ports/zultmirax/gamecontrollerdb.txt|$mapping" \
            "$(game_env SDL_GAMECONTROLLERCONFIG_FILE)|$(cat "$dev/game.mapping")"
    fi
done
# A later start with a small mapping leaves no file of an earlier one.
rm "$dev/mapping.txt"
start
check "a device with no mapping starts the game without one" "0||" \
    "$status|$(game_env SDL_GAMECONTROLLERCONFIG_FILE)|$(cat "$dev/game.mapping")"
[ ! -e "$dev/ports/zultmirax/gamecontrollerdb.txt" ] && ok "... and no file of an earlier start is left" ||
    fail "gamecontrollerdb.txt of an earlier start is left"

# The screen: the largest whole factor of 320x240 that fits, from the
# collection's size, else the framebuffer's, else none.
for case in 320x240:1 480x320:1 640x480:2 720x720:2 854x480:2 960x720:3 1280x720:3 1920x1080:4 2560x1600:6 800x1280:2; do
    size="${case%:*}" want="${case#*:}"
    device "screen-$size" "DISPLAY_WIDTH=${size%x*}" "DISPLAY_HEIGHT=${size#*x}"
    start
    check "a ${size} screen scales by $want" "$want" "$(game_env SDL12COMPAT_WINDOW_SCALING)"
done
device framebuffer DISPLAY_WIDTH= DISPLAY_HEIGHT=
mkdir -p "$dev/root/sys/class/graphics/fb0" && echo "1024,768" >"$dev/root/sys/class/graphics/fb0/virtual_size"
start
check "without the collection's size the framebuffer's counts (1024x768: 3)" 3 "$(game_env SDL12COMPAT_WINDOW_SCALING)"
device no-size DISPLAY_WIDTH=wide DISPLAY_HEIGHT=
start
check "with no size known the game keeps its own" 1 "$(game_env SDL12COMPAT_WINDOW_SCALING)"

# The processor picks the programs and the libraries: the collection's
# name for it, else the kernel's, else the system's loader.
device armhf DEVICE_ARCH=armhf
start
check "an armhf device runs the armhf program" "game $dev/ports/zultmirax/bin.armhf/zultmirax " "$(grep '^game' "$log")"
check "an armhf device gets the armhf libraries first" "$dev/ports/zultmirax/libs.armhf:/usr/lib/device" \
    "$(game_env LD_LIBRARY_PATH)"
# kernel_says NAME: uname -m on this device says NAME.
kernel_says() { printf '#!/bin/sh\necho %s\n' "$1" >"$dev/bin/uname" && chmod +x "$dev/bin/uname"; }
device armhf-only DEVICE_ARCH=
rm "$dev/root/lib/ld-linux-aarch64.so.1"
kernel_says aarch64
start
check "a 32-bit armhf system on a 64-bit kernel runs the armhf program" \
    "game $dev/ports/zultmirax/bin.armhf/zultmirax " "$(grep '^game' "$log")"
check "... with the armhf libraries" "$dev/ports/zultmirax/libs.armhf:/usr/lib/device" "$(game_env LD_LIBRARY_PATH)"
device armhf-only-named
rm "$dev/root/lib/ld-linux-aarch64.so.1"
start
check "... even where the collection names the kernel's aarch64" \
    "game $dev/ports/zultmirax/bin.armhf/zultmirax " "$(grep '^game' "$log")"
device kernel-arch DEVICE_ARCH=
kernel_says armv7l
start
check "without the collection's name the kernel's counts (armv7l: armhf)" \
    "game $dev/ports/zultmirax/bin.armhf/zultmirax " "$(grep '^game' "$log")"

# A processor with no program: the player is told, in the collection's
# dialog where it has one, and the log always.
device x86_64 DEVICE_ARCH=
rm "$dev/root/lib/"ld-linux-*
: >"$dev/root/lib/ld-linux-x86-64.so.2"
kernel_says x86_64
start
message="ZULT-MIRAX: no program for this device's processor (x86_64); there are aarch64 and armhf"
check "an x86_64 system stops with an error" 1 "$status"
check "... and runs nothing, but ends as the collection expects" "get_controls|pm_finish" "$(paste -sd'|' "$log")"
check "... and says why, in the log, where the collection has no dialog" "$message" "$(game_log)"
device dialog DEVICE_ARCH=x86_64
with_dialog
start
check "the collection's dialog shows the player why, before its end" \
    "get_controls|pm_message ${message#ZULT-MIRAX: }|pm_finish" "$(paste -sd'|' "$log")"
check "... and the log says it too" "$message" "$(game_log)"

# The firmware's own additions are read after control.txt.
device mod
echo "GPTOKEYB='$dev/gptokeyb --from-mod'" >"$dev/home/.local/share/PortMaster/mod_ArkOS.txt"
start
check "mod_\$CFW_NAME.txt is read after control.txt" "keymapper --from-mod zultmirax -c $dev/ports/zultmirax/zultmirax.gptk" \
    "$(grep '^keymapper --from' "$log")"

# The game's exit status is the script's; the end still runs. A failure is
# shown to the player where the collection has a dialog; an end by a signal
# only logged.
device failing
with_dialog
start ZM_STANDIN_STATUS=3
check "the game's failure is the script's" 3 "$status"
check "... shown to the player, after the collection's end" \
    "pm_message the game ended with status 3; log.txt in the port's folder tells more|pm_finish" \
    "$(tail -2 "$log" | paste -sd'|')"
check "... and logged" "ZULT-MIRAX: the game ended with status 3; log.txt in the port's folder tells more" \
    "$(game_log | tail -1)"

# PortMaster's folder when XDG_DATA_HOME points elsewhere.
device xdg
mkdir -p "$dev/xdg" && mv "$dev/home/.local/share/PortMaster" "$dev/xdg/"
start XDG_DATA_HOME="$dev/xdg"
check "the collection's folder is found under XDG_DATA_HOME" 0 "$status"
check "... and used" get_controls "$(head -1 "$log")"

echo "start-up script: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
