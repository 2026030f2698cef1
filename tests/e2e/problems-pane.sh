#!/usr/bin/env bash
# A list with problems planted beside its sound: Ctrl+Shift+M shows them in the Problems pane,
# Enter on one puts the cursor on its cell, Ctrl+. on another applies its fix and Ctrl+Z takes
# the fix back, one step, whatever else was done since.
source "$(dirname "$0")/e2e-lib.sh"

le32() {
  local value=$(($1 & 0xFFFFFFFF))
  printf "\\x$(printf %02x $((value & 255)))\\x$(printf %02x $((value >> 8 & 255)))"
  printf "\\x$(printf %02x $((value >> 16 & 255)))\\x$(printf %02x $((value >> 24 & 255)))"
}
# A record: minimum, maximum, time-of-day byte, name (103 bytes with its NULs), volume.
record() {
  le32 "$1"
  le32 "$2"
  printf "\\x$(printf %02x "$3")"
  printf '%s' "$4"
  head -c $((103 - ${#4})) /dev/zero
  le32 "$5"
}

# Entry 0: its maximum below its minimum. Entry 1: a time-of-day byte the game does not know.
# The sound lasts 3 seconds, less than every minimum repeat, so nothing else is wrong.
document=$work/lists/planted.bad
mkdir -p "$work/lists"
sox -n -r 22050 -b 16 -c 1 "$work/lists/wind.wav" synth 3 sine 440 vol 0.3
{
  printf '\x02\x00'
  record 5000 4000 1 wind.wav 50
  record 4000 6000 9 wind.wav 50
} >"$document"

start_editor
open_with_dialog "$document"
keys ctrl+shift+m
settle 2
shot 01-problems-shown

# The list has the focus: its second row is entry 1's time of day. Enter goes there, and the
# entry deleted with the cursor on it is that one.
keys Home Down Return
shot 02-gone-to-entry-1
keys ctrl+Delete ctrl+s
settle 2
[ "$(od -An -td2 -N2 "$document" | tr -d ' ')" = 1 ] || fail "the count is not 1"
[ "$(byte_at "$document" 10)" = 1 ] || fail "Enter did not put the cursor on entry 1"

# Shown again, the pane has the focus once more; its one problem is fixed with Ctrl+.
keys ctrl+shift+m ctrl+shift+m
settle 1
keys Home ctrl+period ctrl+s
settle 2
shot 03-fixed
[ "$(int32_at "$document" 2)" = 4000 ] || fail "Ctrl+. did not swap the repeat times: $(int32_at "$document" 2)"
[ "$(int32_at "$document" 6)" = 5000 ] || fail "Ctrl+. did not swap the repeat times: $(int32_at "$document" 6)"

# One undo takes the fix back, and only the fix: the deleted entry stays deleted.
keys ctrl+z ctrl+s
settle 2
shot 04-undone
[ "$(int32_at "$document" 2)" = 5000 ] || fail "Ctrl+Z did not take the fix back"
[ "$(int32_at "$document" 6)" = 4000 ] || fail "Ctrl+Z did not take the fix back"
[ "$(od -An -td2 -N2 "$document" | tr -d ' ')" = 1 ] || fail "Ctrl+Z took more than the fix back"
[ -z "$(other_windows)" ] || fail "a window was left open"
close_editor
