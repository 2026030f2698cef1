#!/usr/bin/env bash
# Deletes, moves and duplicates entries of a file whose names hide older bytes behind their
# terminators, saves and checks that every record kept its own bytes; then undoes everything,
# saves again and gets the original file back byte for byte.
source "$(dirname "$0")/e2e-lib.sh"

document=$work/ambient.bad
cp "$samples/bytes-behind-terminators.bad" "$document"
original=$work/original.bad
cp "$document" "$original"

# Record $2 of file $1, all 116 bytes, as hex.
record() { od -An -v -tx1 -j $((2 + 116 * $2)) -N 116 "$1" | tr -d ' \n'; }

start_editor
open_with_dialog "$document"
shot 01-opened

# Entries A B C: delete A, move C above B, duplicate B.
keys Down ctrl+Delete
shot 02-deleted
keys Down alt+Up
shot 03-moved
keys Down ctrl+d
shot 04-duplicated
keys ctrl+s
settle 2
shot 05-saved

[ "$(od -An -td2 -N2 "$document" | tr -d ' ')" = 3 ] || fail "the count is not 3"
[ "$(record "$document" 0)" = "$(record "$original" 2)" ] || fail "record 0 is not entry C as read"
[ "$(record "$document" 1)" = "$(record "$original" 1)" ] || fail "record 1 is not entry B as read"
[ "$(record "$document" 2)" = "$(record "$original" 1)" ] || fail "the duplicate is not entry B as read"

keys ctrl+z ctrl+z ctrl+z
shot 06-undone
keys ctrl+s
settle 2
cmp "$document" "$original" || fail "after undoing everything the file is not the original"

close_editor
echo "entry-commands: passed"
