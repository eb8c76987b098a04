#!/usr/bin/env bash
# check_install.sh ROOT PREFIX BINDIR: checks an installed tree (a DESTDIR
# staging folder, or a .deb unpacked with dpkg -x) has every file where a
# desktop looks for it, and that the validators accept them.
set -u
root="$1"; prefix="$2"; bindir="$3"
id=org.zultmirax.zultmirax
base="$root$prefix"
share="$base/share"
fail=0
ok() { echo "ok: $1"; }
bad() { echo "FAILED: $1"; fail=1; }
check() { if eval "$2"; then ok "$1"; else bad "$1"; fi; }

for p in zultmirax zultmirax-replay zultmirax-launcher; do
    check "$prefix/$bindir/$p is an executable" "[ -x '$base/$bindir/$p' ] && [ -f '$base/$bindir/$p' ]"
done

desktop="$share/applications/$id.desktop"
check "the menu entry is in share/applications" "[ -f '$desktop' ]"
check "desktop-file-validate accepts it" "desktop-file-validate '$desktop'"
field() { sed -n "s/^$1=//p" "$desktop"; }
check "it is a game, an arcade game" "[ '$(field Categories)' = 'Game;ArcadeGame;' ]"
check "it starts the launcher installed beside the game" "[ -x '$base/$bindir/$(field Exec)' ] && [ '$(field Exec)' = zultmirax-launcher ]"
check "it needs no terminal and has keywords" "[ '$(field Terminal)' = false ] && [ -n '$(field Keywords)' ]"
check "its icon is the installed one" "[ '$(field Icon)' = '$id' ]"

for size in 16 32 48 64 128 256; do
    png="$share/icons/hicolor/${size}x${size}/apps/$id.png"
    check "icon ${size}x${size} is a ${size}x${size} PNG with transparency" \
        "file -b '$png' | grep -q '^PNG image data, $size x $size, 8-bit/color RGBA'"
done

meta="$share/metainfo/$id.metainfo.xml"
check "the metainfo is in share/metainfo" "[ -f '$meta' ]"
check "appstreamcli validate --no-net accepts it" "appstreamcli validate --no-net '$meta' >/dev/null"
check "it launches the menu entry" "grep -q '<launchable type=\"desktop-id\">$id.desktop</launchable>' '$meta'"
check "it names the licence" "grep -q '<project_license>MIT</project_license>' '$meta'"

man6="$share/man/man6"
for page in zultmirax zultmirax-replay zultmirax-launcher; do
    f="$man6/$page.6.gz"
    check "man page $page(6) is installed" "[ -e '$f' ]"
    check "man -l renders $page(6) without warnings" \
        "[ -z \"\$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l '$f' 2>&1 >/dev/null)\" ]"
done
# Every option of the runner's own usage line is in its page.
page="$(LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$man6/zultmirax-replay.6.gz" 2>/dev/null)"
usage="$("$base/$bindir/zultmirax-replay" --help)"
for opt in $(printf '%s\n' "$usage" | grep -o -- '--[a-z]*' | sort -u); do
    check "zultmirax-replay(6) documents $opt" "printf '%s' \"\$page\" | grep -q -- '$opt'"
done
check "the runner's usage line names its six options and reading standard input" "printf '%s' \"\$usage\" | grep -q -- '--input FILE|-'" 
check "the runner's usage line names at least six options" "[ $(printf '%s\n' "$usage" | grep -o -- '--[a-z]*' | sort -u | wc -l) -ge 6 ]"
check "zultmirax-replay(6) gives the trace and event formats" \
    "printf '%s' \"\$page\" | grep -q 'pass,state,presents' && printf '%s' \"\$page\" | grep -q 'pass,event,a,b,c,d,e,f'"

doc="$share/doc/zultmirax"
check "the README is in share/doc/zultmirax" "[ -s '$doc/README.md' ]"
check "the MIT licence is in share/doc/zultmirax" "grep -q '^MIT License' '$doc/LICENSE' && grep -q '^License: Expat' '$doc/copyright'"
check "the changelog is in share/doc/zultmirax" "zcat '$doc/changelog.gz' | grep -q '^zultmirax ('"

# The installed launcher finds the installed game: a quit ends both.
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "$base/$bindir/zultmirax-launcher" >/dev/null 2>&1 &
pid=$!
sleep 1
kill -TERM "$pid" 2>/dev/null
status=1
for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && kill -KILL "$pid"
wait "$pid"; status=$?
check "the installed launcher starts the installed game, which quits with 0 (got $status)" "[ $status -eq 0 ]"

exit $fail
