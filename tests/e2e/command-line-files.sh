#!/usr/bin/env bash
# "Open with" from Explorer: two files named on the command line (one by a quoted full path
# with a space, one relative to the current folder) open in two tabs; a name of nothing and a
# folder each say that they cannot be opened. Each tab is edited and saved to show it holds
# its own file.
source "$(dirname "$0")/e2e-lib.sh"

mkdir -p "$work/with space"
first="$work/with space/first.bad"
second=$work/second.bad
cp "$samples/four-times-of-day.bad" "$first"
cp "$samples/four-times-of-day.bad" "$second"

cd "$work"
start_editor "$(windows_path "$first")" second.bad nothing-here.bad "with space"
for name in nothing-here "folder"; do
  box=$(wait_other_window)
  [ -n "$box" ] || fail "nothing said that $name cannot be opened"
  shot "01-cannot-open-$name"
  xdotool windowfocus --sync "$box" 2>/dev/null || true
  keys Return
  for _ in $(seq 20); do
    other_windows | grep -qx "$box" || break
    settle 0.5
  done
done
settle 2
shot 01-started
[ -z "$(other_windows)" ] || fail "a message box stayed at start-up"
xdotool windowfocus --sync "$frame" 2>/dev/null || true

# The last file named is the active tab.
keys Down Right Right Return ctrl+a
type_text "2222"
keys Return ctrl+s
settle 2
[ "$(int32_at "$second" 2)" = "2222" ] || fail "the active tab did not hold second.bad"

keys ctrl+Tab
shot 02-first-tab
keys Down Right Right Return ctrl+a
type_text "1111"
keys Return ctrl+s
settle 2
shot 03-both-saved
[ "$(int32_at "$first" 2)" = "1111" ] || fail "the other tab did not hold first.bad"
[ "$(int32_at "$second" 2)" = "2222" ] || fail "second.bad changed again"

close_editor
echo "command-line-files: passed"
