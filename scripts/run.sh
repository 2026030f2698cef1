#!/usr/bin/env bash
# Starts the editor. Installs what it needs and builds sonarwick.exe first, then runs it under
# Wine. With a display (DISPLAY set and reachable) the editor opens there and this script waits
# until it is closed. Without one it runs on a virtual display, saves a screenshot, closes the
# editor again and says where the screenshot is.
# It opens a list of a small sample game folder (build/sample-game): lists in two levels, the
# sounds they name, one name without a file and a few sounds no list uses.
# The interface language follows the locale: LC_ALL=ru_RU.UTF-8 bash scripts/run.sh for Russian.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

exe="$root/build/win/src/app/sonarwick.exe"
# A prefix of its own: the tests' prefix has its server stopped whenever a test run ends.
export WINEPREFIX="$root/build/win/run-wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine() { "$root/scripts/wine-exec" "$@"; }
wineserver() {
  local server=/usr/lib/wine/wineserver64
  [ -x "$server" ] || server=$(command -v wineserver)
  "$server" "$@"
}

# Wine's desktop process takes the display of the first program of a session, so every
# session starts inside the display it is meant for.
boot_wine() {
  [ -f "$WINEPREFIX/system.reg" ] || echo "Preparing a Wine prefix in $WINEPREFIX (first run only, may take a minute)..."
  mkdir -p "$WINEPREFIX"
  wine wineboot >/dev/null 2>&1 </dev/null
  # Under a window manager Wine leaves the window frame to it; without one (the virtual
  # display) Wine draws caption, icon and buttons itself.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$1" /f >/dev/null 2>&1 </dev/null
}

# Runs inside the virtual display (see the end of this script).
run_on_virtual_display() {
  local shot=$1 list=$2
  boot_wine N
  wine "$exe" "$list" &
  local pid=$! status=0
  if ! timeout 60 xdotool search --sync --onlyvisible --class "sonarwick.exe" >/dev/null 2>&1; then
    echo "sonarwick.exe showed no window within a minute." >&2
    kill "$pid" 2>/dev/null
    wineserver -k
    return 1
  fi
  sleep 2  # let it paint
  import -window root "$shot"
  # Without /f, taskkill asks the window to close, as its close box would.
  wine taskkill /im sonarwick.exe >/dev/null 2>&1 </dev/null
  wait "$pid" || status=$?
  wineserver -k
  echo "sonarwick.exe ended with exit code $status (1 means it was closed normally)."
}

if [ "${1:-}" = "--on-virtual-display" ]; then
  run_on_virtual_display "$2" "$3"
  exit
fi

scripts/install-deps.sh
echo "Building sonarwick.exe..."
scripts/build.sh win --target sonarwick >/dev/null
# The first run shows the job: a small game folder with its lists and the sounds they name.
game_list=$(scripts/make-sample-game.sh "$root/build/sample-game")
# Wine's drive Z: is the root of this system.
game_list="Z:${game_list//\//\\}"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  boot_wine Y
  echo "Starting sonarwick.exe on display $DISPLAY; close its window to end."
  status=0
  wine "$exe" "$game_list" || status=$?
  echo "sonarwick.exe ended with exit code $status (1 means it was closed normally)."
  exit 0
fi

mkdir -p "$root/build/screenshots"
locale_name=${LC_ALL:-${LANG:-default}}
shot="$root/build/screenshots/sonarwick-${locale_name//[^A-Za-z0-9_-]/_}.png"
echo "No display here: running sonarwick.exe on a virtual display."
xvfb-run -a -s "-screen 0 1024x768x24" "$0" --on-virtual-display "$shot" "$game_list"
echo "Screenshot: $shot"
