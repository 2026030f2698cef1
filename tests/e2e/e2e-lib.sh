# Shared steps of the end-to-end scenarios: start the editor, wait for windows, press keys,
# keep screenshots, read the bytes of files.
set -euo pipefail

exe=$1
samples=$2
artifacts=$3/$(basename "$0" .sh)
mkdir -p "$artifacts"
rm -f "$artifacts"/*.png
work=$(mktemp -d)
editor_pid=

wine_run() { "$SONARWICK_ROOT/scripts/wine-exec" "$@"; }

# The Windows name of a file here (Wine's drive Z: is the root folder).
windows_path() { echo "Z:${1//\//\\}"; }

shot() { import -window root "$artifacts/$1.png"; }

finish() {
  local status=$?
  shot zz-last || true
  if [ -n "$editor_pid" ]; then
    wine_run taskkill /f /im sonarwick.exe >/dev/null 2>&1 </dev/null || true
    kill "$editor_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
  exit $status
}
trap finish EXIT

# Every scenario starts as a new user would: no recent files, no remembered window.
forget_settings() { wine_run reg delete 'HKCU\Software\Sonarwick' /f >/dev/null 2>&1 </dev/null || true; }
forget_settings

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

# The editor's visible top-level windows other than the frame (dialogs, message boxes).
other_windows() {
  xdotool search --onlyvisible --class "sonarwick.exe" 2>/dev/null | grep -vx "$frame" || true
}

# Waits up to 30 seconds for a window other than the frame; prints its id.
wait_other_window() {
  for _ in $(seq 60); do
    local found
    found=$(other_windows | head -n 1)
    if [ -n "$found" ]; then echo "$found"; return; fi
    sleep 0.5
  done
}

# Where the editor keeps its recovery copies in the test prefix.
recovery_folders() {
  compgen -G "${WINEPREFIX:-/nonexistent}/drive_c/users/*/AppData/Local/Sonarwick/Recovery" || true
}

# Copies left by a scenario that failed would be offered to the next one.
forget_recovery_copies() {
  local folder
  for folder in $(recovery_folders); do rm -f "$folder"/*; done
}

largest_window() {
  local window best= area=0 WIDTH HEIGHT
  for window in $(xdotool search --onlyvisible --class "sonarwick.exe" 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$window" | grep -E '^(WIDTH|HEIGHT)=')"
    if [ $((WIDTH * HEIGHT)) -gt "$area" ]; then
      area=$((WIDTH * HEIGHT))
      best=$window
    fi
  done
  echo "$best"
}

# Arguments, if any, go to the editor's command line.
start_editor() {
  [ -n "${keep_recovery_copies:-}" ] || forget_recovery_copies
  # Its output goes to a file: a process that holds the test's pipes would keep CTest waiting.
  wine_run "$exe" "$@" >"$artifacts/editor-output.txt" 2>&1 </dev/null &
  editor_pid=$!
  timeout 60 xdotool search --sync --onlyvisible --class "sonarwick.exe" >/dev/null || true
  # A question at start-up may show as soon as the frame; the frame is the larger window.
  frame=$(largest_window)
  [ -n "$frame" ] || fail "the editor showed no window"
  xdotool windowfocus --sync "$frame" 2>/dev/null || true
  settle
}

# Lets the editor process what it was sent and repaint.
settle() { sleep "${1:-1}"; }

keys() {
  xdotool key --delay 80 "$@"
  settle 0.5
}

type_text() {
  # xdotool decodes its argument in its own locale; the test's locale (for Wine's interface
  # language) need not exist on this machine, C.UTF-8 always does.
  # A character the keyboard map lacks is typed by remapping a spare key for it, and Wine reads
  # the new map a moment later: such text goes slower, or a busy machine drops letters from it.
  local delay=40
  LC_ALL=C grep -q '[^ -~]' <<<"$1" && delay=150
  LC_ALL=C.UTF-8 xdotool type --delay "$delay" "$1"
  settle 0.5
}

# The little-endian signed 32-bit number at a byte offset of a file.
int32_at() {
  od -An -t d4 -j "$2" -N 4 "$1" | tr -d ' '
}

byte_at() {
  od -An -t u1 -j "$2" -N 1 "$1" | tr -d ' '
}

# Opens the file at $1 through Ctrl+O and the open dialog, as the user does.
open_with_dialog() {
  keys ctrl+o
  [ -n "$(wait_other_window)" ] || fail "Ctrl+O showed no open dialog"
  type_text "$(windows_path "$1")"
  keys Return
  settle 2
  [ -z "$(other_windows)" ] || fail "the open dialog stayed open"
}

# Closes the editor as its close box would and checks its exit code.
close_editor() {
  keys alt+F4
  local status=0
  wait "$editor_pid" || status=$?
  editor_pid=
  [ "$status" -eq 1 ] || fail "the editor ended with exit code $status instead of 1"
}
