#!/usr/bin/env bash
# Runs a command with a booted private Wine prefix and a persistent wineserver, then stops the server.
# Must run inside the X display the Windows programs will use (xvfb-run), so that Wine's desktop
# process starts with a working display driver.
# Usage: scripts/wine-session.sh <build dir> <command...>
set -uo pipefail
build=$1; shift
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
wineserver=/usr/lib/wine/wineserver64
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)
"$wineserver" -p >/dev/null 2>&1 </dev/null
"$(dirname "$0")/wine-exec" wineboot >/dev/null 2>&1 </dev/null
# There is no window manager on the virtual display. Wine would wait two seconds for one each
# time a top-level window goes away unless it manages its windows itself.
"$(dirname "$0")/wine-exec" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
"$@"
status=$?
"$wineserver" -k >/dev/null 2>&1 </dev/null
exit $status
