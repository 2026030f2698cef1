#!/usr/bin/env bash
# Runs a Windows program at another display scale: in a Wine prefix of its own under <folder>,
# with LogPixels set to <dpi> and that prefix's wineserver restarted so that it reads it.
# Usage: scripts/run-at-dpi.sh <dpi> <folder> <program> [arguments...]
set -uo pipefail
dpi=$1 folder=$2; shift 2
root=$(cd "$(dirname "$0")/.." && pwd)
wine_exec="$root/scripts/wine-exec"
wineserver=/usr/lib/wine/wineserver64
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)
mkdir -p "$folder"

set_dpi() {
  "$wine_exec" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f
  "$wine_exec" reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
    /v LogPixels /t REG_DWORD /d "$dpi" /f
  # The server keeps the registry in memory; restarted, everything started after reads the scale.
  "$wineserver" -k
  "$wineserver" -p
  "$wine_exec" wineboot
}
export -f set_dpi
export dpi wine_exec wineserver

# Every Wine process but the program itself starts with its output away from the caller's
# pipes (a test runner would wait for Wine's background services otherwise).
"$root/scripts/wine-session.sh" "$folder" bash -c 'set_dpi >/dev/null 2>&1 </dev/null; "$@"' run-at-dpi "$@"
