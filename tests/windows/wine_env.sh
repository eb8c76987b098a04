# shellcheck shell=bash
# Sourced by the Windows tests: Wine in a prefix of the build's own
# (WINEPREFIX, made on first use; its first start is slow, so everything
# waits on events), quiet, without the Mono and Gecko installers it would
# otherwise offer, and its server ended when the test ends.
: "${WINEPREFIX:?set WINEPREFIX to the Wine prefix under the build}"
export WINEPREFIX WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml="
wine_stop() { wineserver -k 2>/dev/null || true; }
