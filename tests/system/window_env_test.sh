#!/usr/bin/env bash
# scripts/window-env's choice of window path, with glxinfo stood in for by a
# script that reports the OpenGL renderer asked for.
set -u
envscript="$1"
fail=0
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
check() { # description, expected output, then the command's env settings
    local what="$1" want="$2"; shift 2
    local got
    got="$(env -i PATH="$tmp/bin:/usr/bin:/bin" "$@" "$envscript" 2>/dev/null | tr '\n' ' ')"
    if [ "$got" = "$want" ]; then echo "ok: $what"; else echo "FAILED: $what: got '$got', want '$want'"; fail=1; fi
}
mkdir -p "$tmp/bin"
cat >"$tmp/bin/glxinfo" <<'GLX'
#!/bin/sh
[ -n "$FAKE_RENDERER" ] || exit 1
echo "direct rendering: ${FAKE_DIRECT:-Yes}"
echo "OpenGL renderer string: $FAKE_RENDERER"
GLX
chmod +x "$tmp/bin/glxinfo"

nearest="export SDL12COMPAT_SCALE_METHOD=nearest "
software="export SDL_RENDER_DRIVER=software export SDL_FRAMEBUFFER_ACCELERATION=0 "
check "Mesa's llvmpipe gets the software path" "$nearest$software" DISPLAY=:0 FAKE_RENDERER="llvmpipe (LLVM 15.0.6, 256 bits)"
check "softpipe gets the software path" "$nearest$software" DISPLAY=:0 FAKE_RENDERER="softpipe"
check "no direct rendering gets the software path" "$nearest$software" DISPLAY=:0 FAKE_RENDERER="Some GPU" FAKE_DIRECT=No
check "a GPU keeps SDL's default path" "$nearest" DISPLAY=:0 FAKE_RENDERER="AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49)"
check "no OpenGL at all gets the software path" "$nearest$software" DISPLAY=:0 FAKE_RENDERER=
check "LIBGL_ALWAYS_SOFTWARE wins over a GPU" "$nearest$software" DISPLAY=:0 FAKE_RENDERER="AMD Radeon" LIBGL_ALWAYS_SOFTWARE=1
check "ZM_WINDOW_PATH=default wins over llvmpipe" "$nearest" DISPLAY=:0 FAKE_RENDERER=llvmpipe ZM_WINDOW_PATH=default
check "ZM_WINDOW_PATH=software wins over a GPU" "$nearest$software" DISPLAY=:0 FAKE_RENDERER="AMD Radeon" ZM_WINDOW_PATH=software
check "a renderer the player chose is kept" "$nearest" DISPLAY=:0 FAKE_RENDERER=llvmpipe SDL_RENDER_DRIVER=opengl
check "a framebuffer setting the player chose is kept" "$nearest" DISPLAY=:0 FAKE_RENDERER=llvmpipe SDL_FRAMEBUFFER_ACCELERATION=1
check "a scale method the player chose is kept" "$software" DISPLAY=:0 FAKE_RENDERER=llvmpipe SDL12COMPAT_SCALE_METHOD=linear
exit "$fail"
