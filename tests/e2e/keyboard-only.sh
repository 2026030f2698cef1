#!/usr/bin/env bash
# The keyboard alone: opens a sample with Ctrl+O, picks a time of day from the dropped list,
# goes to the tab strip and back with F6, changes a repeat time, saves with Ctrl+S and closes
# the tab with Ctrl+F4. The saved bytes differ from the sample in the two edited fields only.
source "$(dirname "$0")/e2e-lib.sh"

document=$work/ambient.bad
cp "$samples/four-times-of-day.bad" "$document"
original=$work/original.bad
cp "$document" "$original"

start_editor
open_with_dialog "$document"
shot 01-opened

# The first entry's time of day: Enter drops the list; End and Up highlight the third
# option (sunset), Enter takes it. The grid's row stays where it is meanwhile.
keys Down Right Right Right Right Return
shot 02-list-dropped
keys End Up
shot 03-sunset-highlighted
keys Return
shot 04-sunset-chosen

# To the tab strip and back; the cell is still the selected one.
keys F6
shot 05-strip-focused
keys F6
keys Left Left Return ctrl+a
type_text "4321"
keys Return
shot 06-number-edited

keys ctrl+s
settle 2
[ "$(byte_at "$document" 10)" = "2" ] || fail "entry 0's time of day is $(byte_at "$document" 10), not 2 (sunset)"
[ "$(int32_at "$document" 2)" = "4321" ] || fail "entry 0's minimum repeat time is $(int32_at "$document" 2), not 4321"
cmp <(head -c 2 "$document") <(head -c 2 "$original") || fail "the count changed"
cmp <(tail -c +7 "$document" | head -c 4) <(tail -c +7 "$original" | head -c 4) || fail "the maximum repeat time changed"
cmp <(tail -c +12 "$document") <(tail -c +12 "$original") || fail "bytes that were not edited changed"

# Ctrl+F4 closes the tab: the same keys that edited the document now find none to edit.
keys ctrl+F4
shot 07-closed
keys Down Right Right Return ctrl+a
type_text "9999"
keys Return ctrl+s
settle 2
[ "$(int32_at "$document" 2)" = "4321" ] || fail "the document was still open after Ctrl+F4"
[ -z "$(other_windows)" ] || fail "closing the saved tab asked something"

close_editor
echo "keyboard-only: passed"
