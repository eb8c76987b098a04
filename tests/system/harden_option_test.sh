#!/usr/bin/env bash
# The hardening switch: an optimised build is configured with the stack
# protector, fortified calls and full RELRO, and with -DZM_HARDEN=OFF (for
# old toolchains that cannot) with none of them.
# harden_option_test.sh SOURCE_DIR [cmake arguments, e.g. a toolchain file]
set -u
src="$1"; shift
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
fail=0
configure() { # build dir, extra args
    local dir="$1"; shift
    cmake -S "$src" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZM_TESTS=OFF "$@" >"$dir.log" 2>&1 ||
        { cat "$dir.log"; echo "FAILED: configure $*"; exit 1; }
}
configure "$tmp/on" "$@"
configure "$tmp/off" -DZM_HARDEN=OFF "$@"
on="$(grep -m1 '"command".*game/entry\.cpp' "$tmp/on/compile_commands.json")"
off="$(grep -m1 '"command".*game/entry\.cpp' "$tmp/off/compile_commands.json")"
[ -n "$on" ] && [ -n "$off" ] || { echo "FAILED: no compile command for game/entry.cpp"; exit 1; }
for f in -fstack-protector-strong -D_FORTIFY_SOURCE=2; do
    if grep -q -- "$f" <<<"$on"; then echo "ok: hardened build has $f"; else echo "FAILED: hardened build lacks $f"; fail=1; fi
    if grep -q -- "$f" <<<"$off"; then echo "FAILED: ZM_HARDEN=OFF still has $f"; fail=1; else echo "ok: ZM_HARDEN=OFF drops $f"; fi
done
relro() { grep -rqs -- '-z,relro' "$1" --include=build.ninja; }
if relro "$tmp/on"; then echo "ok: hardened build links with full RELRO"; else echo "FAILED: no RELRO link flag"; fail=1; fi
if relro "$tmp/off"; then echo "FAILED: ZM_HARDEN=OFF still links with RELRO"; fail=1; else echo "ok: ZM_HARDEN=OFF links without it"; fi
exit $fail
