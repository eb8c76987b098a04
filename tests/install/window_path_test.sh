#!/usr/bin/env bash
# window_path_test.sh LAUNCHER: the launcher's choice of window path, with
# glxinfo stood in for by a script that reports the OpenGL renderer asked
# for, and a stand-in game that shows what the launcher really hands it.
set -u
launcher="$1"
fail=0
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/bin" "$tmp/game"
cat >"$tmp/bin/glxinfo" <<'GLX'
#!/bin/sh
[ -n "$FAKE_RENDERER" ] || exit 1
echo "direct rendering: ${FAKE_DIRECT:-Yes}"
echo "OpenGL renderer string: $FAKE_RENDERER"
GLX
chmod +x "$tmp/bin/glxinfo"

# What --window-env prints, on one line.
check() { # description, expected settings, then the launcher's env settings
    local what="$1" want="$2"; shift 2
    local got
    got="$(env -i PATH="$tmp/bin:/usr/bin:/bin" "$@" "$launcher" --window-env 2>/dev/null | tr '\n' ' ')"
    if [ "$got" = "$want" ]; then echo "ok: $what"; else echo "FAILED: $what: got '$got', want '$want'"; fail=1; fi
}
crisp="SDL12COMPAT_WINDOW_SCALING=3 SDL12COMPAT_SCALE_METHOD=nearest "
software="SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0 "
check "Mesa's llvmpipe gets the software path" "$crisp$software" DISPLAY=:0 FAKE_RENDERER="llvmpipe (LLVM 15.0.6, 256 bits)"
check "softpipe gets the software path" "$crisp$software" DISPLAY=:0 FAKE_RENDERER="softpipe"
check "no direct rendering gets the software path" "$crisp$software" DISPLAY=:0 FAKE_RENDERER="Some GPU" FAKE_DIRECT=No
check "a GPU keeps SDL's default path" "$crisp" DISPLAY=:0 FAKE_RENDERER="AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49)"
check "no OpenGL at all gets the software path" "$crisp$software" DISPLAY=:0 FAKE_RENDERER=
check "LIBGL_ALWAYS_SOFTWARE wins over a GPU" "$crisp$software" DISPLAY=:0 FAKE_RENDERER="AMD Radeon" LIBGL_ALWAYS_SOFTWARE=1
check "ZM_WINDOW_PATH=default wins over llvmpipe" "$crisp" DISPLAY=:0 FAKE_RENDERER=llvmpipe ZM_WINDOW_PATH=default
check "ZM_WINDOW_PATH=software wins over a GPU" "$crisp$software" DISPLAY=:0 FAKE_RENDERER="AMD Radeon" ZM_WINDOW_PATH=software
check "a renderer the player chose is kept" "$crisp" DISPLAY=:0 FAKE_RENDERER=llvmpipe SDL_RENDER_DRIVER=opengl
check "a framebuffer setting the player chose is kept" "$crisp" DISPLAY=:0 FAKE_RENDERER=llvmpipe SDL_FRAMEBUFFER_ACCELERATION=1
check "an empty renderer setting is a choice too" "$crisp" DISPLAY=:0 FAKE_RENDERER=llvmpipe SDL_RENDER_DRIVER=
check "a scale the player chose is kept" "SDL12COMPAT_SCALE_METHOD=nearest $software" \
    DISPLAY=:0 FAKE_RENDERER=llvmpipe SDL12COMPAT_WINDOW_SCALING=2

# Started for play, the game gets what --window-env printed.
cp "$launcher" "$tmp/game/zultmirax-launcher"
cat >"$tmp/game/zultmirax" <<'GAME'
#!/bin/sh
echo "$SDL12COMPAT_WINDOW_SCALING $SDL12COMPAT_SCALE_METHOD ${SDL_RENDER_DRIVER-unset} ${SDL_FRAMEBUFFER_ACCELERATION-unset}"
GAME
chmod +x "$tmp/game/zultmirax"
for case in "llvmpipe|3 nearest software 0" "AMD Radeon|3 nearest unset unset"; do
    renderer="${case%%|*}" want="${case#*|}"
    printed="$(env -i PATH="$tmp/bin:/usr/bin:/bin" DISPLAY=:0 FAKE_RENDERER="$renderer" \
        "$tmp/game/zultmirax-launcher" --window-env | tr '\n' ' ')"
    got="$(env -i PATH="$tmp/bin:/usr/bin:/bin" DISPLAY=:0 FAKE_RENDERER="$renderer" "$tmp/game/zultmirax-launcher")"
    if [ "$got" = "$want" ]; then
        echo "ok: with $renderer the game is started with what --window-env printed ($printed)"
    else
        echo "FAILED: with $renderer the game got '$got', want '$want' (--window-env printed '$printed')"
        fail=1
    fi
done

# --why says how it chose, on stderr only.
why="$(env -i PATH="$tmp/bin:/usr/bin:/bin" DISPLAY=:0 FAKE_RENDERER=llvmpipe "$launcher" --window-env --why 2>&1 >/dev/null)"
if printf '%s\n' "$why" | grep -qx "zultmirax-launcher: OpenGL renderer 'llvmpipe' is drawn on the CPU"; then
    echo "ok: --why names the renderer it found"
else
    echo "FAILED: --why said '$why'"
    fail=1
fi
exit "$fail"
