#!/usr/bin/env bash
# The editor remembers the user's files and window, and keeps to one window: two files opened,
# the window moved and resized, the editor closed and started again: the window is where it
# was and the File menu reopens both files. A second start with a third file gives it to the
# running window as a tab and shows no window of its own.
source "$(dirname "$0")/e2e-lib.sh"

first=$work/first.bad
second=$work/second.bad
third=$work/third.bad
for file in "$first" "$second" "$third"; do cp "$samples/four-times-of-day.bad" "$file"; done

geometry() { xdotool getwindowgeometry "$frame" | sed -n 's/^ *\(Position\|Geometry\): \([0-9x,]*\).*/\2/p' | tr '\n' ' '; }

# Types a new minimum repeat time into the active tab's first entry and saves it.
edit_and_save() {
  keys Down Right Right Return ctrl+a
  type_text "$1"
  keys Return ctrl+s
  settle 2
}

start_editor
open_with_dialog "$first"
open_with_dialog "$second"
first_place=$(geometry)

# Moved and resized through the window menu, as the keyboard does it (its second item is
# Move, its third Size, in either language).
keys alt+space Down Return Right Right Right Right Right Right Down Down Down Return
keys alt+space Down Down Return Right Left Left Left Left Left Left Left Left Return
moved=$(geometry)
shot 01-moved
[ "$moved" != "$first_place" ] || fail "the window did not move"
close_editor

start_editor
shot 02-restarted
[ "$(geometry)" = "$moved" ] || fail "the window came back at $(geometry) instead of $moved"
[ -z "$(other_windows)" ] || fail "a message box showed at start-up"

# Most recent first: &1 is second.bad, &2 first.bad. F10 Down opens File in either language.
keys F10 Down
shot 03-file-menu
keys 2
settle 2
[ -z "$(other_windows)" ] || fail "the second recent file did not open"
edit_and_save 1111
[ "$(int32_at "$first" 2)" = "1111" ] || fail "File > 2 did not open first.bad"
keys F10 Down 2
settle 2
edit_and_save 2222
[ "$(int32_at "$second" 2)" = "2222" ] || fail "File > 2 did not open second.bad after first.bad moved up"

# A second start hands its file over and ends at once.
wine_run "$exe" "$(windows_path "$third")" >"$artifacts/second-start.txt" 2>&1 </dev/null \
  || fail "the second start ended with code $?"
settle 2
shot 04-handed-over
[ "$(xdotool search --onlyvisible --class sonarwick.exe | wc -l)" = 1 ] || fail "a second window appeared"
xdotool windowfocus --sync "$frame" 2>/dev/null || true
edit_and_save 3333
[ "$(int32_at "$third" 2)" = "3333" ] || fail "the handed-over file is not the active tab of the first window"

close_editor
echo "remembers-session: passed"
