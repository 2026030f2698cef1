#!/usr/bin/env bash
# Opens a sample through the open dialog, changes a repeat time and a file name with the
# keyboard, saves with Ctrl+S and checks the bytes on disk; everything else stays as it was.
source "$(dirname "$0")/e2e-lib.sh"

document=$work/ambient.bad
cp "$samples/four-times-of-day.bad" "$document"
original=$work/original.bad
cp "$document" "$original"

start_editor
shot 01-started

open_with_dialog "$document"
shot 03-opened

# First row, then two cells to the right: the minimum repeat time.
keys Down Right Right Return
keys ctrl+a
type_text "4321"
keys Return
shot 04-edited-number

# Back to the file name of the second row.
keys Down Left Return
keys ctrl+a
type_text "rain.wav"
keys Return
shot 05-edited-text

keys ctrl+s
settle 2
shot 06-saved

[ "$(int32_at "$document" 2)" = "4321" ] || fail "entry 0's minimum repeat time is $(int32_at "$document" 2), not 4321"
name=$(dd if="$document" bs=1 skip=$((2 + 116 + 9)) count=9 2>/dev/null | tr -d '\0')
[ "$name" = "rain.wav" ] || fail "entry 1's file name is '$name', not rain.wav"
# Everything but the two edited fields is byte for byte as before.
cmp <(head -c 2 "$document") <(head -c 2 "$original") || fail "the count changed"
cmp <(tail -c +$((2 + 116 * 2 + 1)) "$document") <(tail -c +$((2 + 116 * 2 + 1)) "$original") ||
  fail "entries that were not edited changed"

close_editor
echo "open-edit-save: passed"
