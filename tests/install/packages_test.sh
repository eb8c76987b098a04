#!/usr/bin/env bash
# packages_test.sh PACKAGES_SH: zm_ensure_packages as a user, with stand-ins
# for id, dpkg-query, sudo and apt-get on PATH: the variable reaches apt
# through sudo, and a user sudo refuses gets the command to run.
set -u
lib="$1"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/bin" "$tmp/nosudo"
stub() { printf '#!/bin/sh\n%s\n' "$2" >"$tmp/bin/$1"; chmod +x "$tmp/bin/$1"; }
stub id 'echo 1000'
stub dpkg-query 'case "$*" in *present*) printf "install ok installed";; esac'
stub apt-get 'echo "apt-get $* DEBIAN_FRONTEND=${DEBIAN_FRONTEND-unset}" >>"$ZM_LOG"; echo noisy apt output'
# sudo resets the environment, as the real one does by default.
stub sudo '[ "$1" = -n ] && [ "$2" = true ] && exit 0; [ "$1" = -n ] && shift; exec env -i PATH="$PATH" ZM_LOG="$ZM_LOG" "$@"'
for t in id dpkg-query apt-get; do ln -s "$tmp/bin/$t" "$tmp/nosudo/$t"; done
# A user sudo refuses (not in sudoers, or a password nobody can type here).
printf '#!/bin/sh\necho "sudo: a password is required" >&2\nexit 1\n' >"$tmp/nosudo/sudo"
chmod +x "$tmp/nosudo/sudo"
fail=0
check() { if [ "$2" -eq 0 ]; then echo "ok: $1"; else echo "FAILED: $1"; fail=1; fi; }
run() { # PATH dir, packages...
    local dir="$1"; shift
    ZM_LOG="$tmp/log" PATH="$dir:/usr/bin:/bin" bash -c '. "$0"; zm_ensure_packages "$@"; echo done' "$lib" "$@" \
        >"$tmp/out" 2>"$tmp/err" </dev/null
}

run "$tmp/bin" present-a present-b
check "nothing missing: nothing installed, nothing printed" \
    "$([ ! -e "$tmp/log" ] && [ "$(cat "$tmp/out")" = done ] && [ ! -s "$tmp/err" ]; echo $?)"

run "$tmp/bin" present-a gone-b gone-c
status=$?
check "missing packages are installed through sudo" "$([ $status -eq 0 ] && grep -q 'install -y -qq --no-install-recommends gone-b gone-c' "$tmp/log"; echo $?)"
check "DEBIAN_FRONTEND=noninteractive survives sudo" "$([ "$(grep -c 'DEBIAN_FRONTEND=noninteractive' "$tmp/log")" -eq 2 ]; echo $?)"
check "apt's output stays quiet when it succeeds" "$(! grep -q noisy "$tmp/out" "$tmp/err"; echo $?)"
rm -f "$tmp/log"

run "$tmp/nosudo" gone-b
status=$?
check "refused by sudo it exits non-zero (got $status) before the caller goes on" "$([ $status -ne 0 ] && ! grep -q done "$tmp/out"; echo $?)"
check "refused by sudo it prints the one command to run" \
    "$(grep -qx '    apt-get install --no-install-recommends gone-b' "$tmp/err" && [ ! -e "$tmp/log" ]; echo $?)"

stub apt-get 'echo "apt says why" >&2; exit 100'
run "$tmp/bin" gone-b
status=$?
check "a failing apt shows its output and exits non-zero (got $status)" \
    "$([ $status -ne 0 ] && grep -q 'apt says why' "$tmp/err" && ! grep -q done "$tmp/out"; echo $?)"
exit $fail
