#!/usr/bin/env bash
# Works on several entries at once: Shift+Down selects a block, Alt+Down moves it as one and
# undo and redo take the move back and forth; three entries copied into a new document save
# as the same three records, every byte kept.
source "$(dirname "$0")/e2e-lib.sh"

document=$work/ambient.bad
cp "$samples/four-times-of-day.bad" "$document"
original=$work/original.bad
cp "$document" "$original"
copied=$work/copied.bad

# Record $2 of file $1, all 116 bytes, as hex.
record() { od -An -v -tx1 -j $((2 + 116 * $2)) -N 116 "$1" | tr -d ' \n'; }
count() { od -An -td2 -N2 "$1" | tr -d ' '; }

start_editor
open_with_dialog "$document"

# Entries A B C D: A and B move below C as one block.
keys Down shift+Down
shot 01-two-selected
keys alt+Down
keys ctrl+z ctrl+y
shot 02-moved-undone-redone
keys ctrl+s
settle 2
[ "$(record "$document" 0)" = "$(record "$original" 2)" ] || fail "record 0 is not entry C"
[ "$(record "$document" 1)" = "$(record "$original" 0)" ] || fail "record 1 is not entry A"
[ "$(record "$document" 2)" = "$(record "$original" 1)" ] || fail "record 2 is not entry B"

# Undone, the block is selected where it was; it grows to three entries and goes to a new document.
keys ctrl+z ctrl+s
settle 2
cmp -s "$document" "$original" || fail "after the undo the file is not the original"
keys shift+Down shift+Down
shot 03-three-selected
keys ctrl+c ctrl+n ctrl+v
shot 04-pasted
keys ctrl+s
[ -n "$(wait_other_window)" ] || fail "saving the new document showed no dialog"
type_text "$(windows_path "$copied")"
keys Return
settle 2
[ "$(count "$copied")" = 3 ] || fail "the new document holds $(count "$copied") entries, not 3"
for index in 0 1 2; do
  [ "$(record "$copied" $index)" = "$(record "$original" $index)" ] || fail "copied record $index differs"
done

close_editor
echo "many-entries: passed"
