#!/usr/bin/env bash
# Moves a set of sounds to another folder with Replace All in the system's Replace dialog, undoes
# and redoes it, and saves each time: the names read back from the file's bytes are the new ones
# for the entries in that folder only, every other byte is as it was, and the undone document
# saves the original file byte for byte.
source "$(dirname "$0")/e2e-lib.sh"

document=$work/ambient.bad
cp "$samples/four-times-of-day.bad" "$document"
original=$work/original.bad
cp "$document" "$original"

# The name of record $2 of file $1 up to its terminator, read from the bytes in Windows-1251.
name_of() {
  dd if="$1" bs=1 skip=$((2 + 116 * $2 + 9)) count=103 status=none | tr '\0' '\n' | head -n 1 |
    iconv -f CP1251 -t UTF-8
}
# Every byte of the file but the name fields.
numbers_of() {
  for record in 0 1 2 3; do
    dd if="$1" bs=1 skip=$((2 + 116 * record)) count=9 status=none | od -An -tx1
    dd if="$1" bs=1 skip=$((2 + 116 * record + 112)) count=4 status=none | od -An -tx1
  done
}

# The sample's names are in Windows-1251, whatever the interface's code page. The choice is the
# user's setting in the test prefix shared with the other scenarios, so it goes when this ends.
names_setting=('HKCU\Software\Sonarwick' /v NamesCodePage)
forget_names_setting() {
  local status=$?
  if [ -n "$editor_pid" ]; then wine_run taskkill /f /im sonarwick.exe >/dev/null 2>&1 </dev/null || true; fi
  wine_run reg delete "${names_setting[@]}" /f >/dev/null 2>&1 </dev/null || true
  (exit $status)
  finish
}
trap forget_names_setting EXIT
wine_run reg add "${names_setting[@]}" /t REG_DWORD /d 1251 /f >/dev/null 2>&1 </dev/null

start_editor
open_with_dialog "$document"
shot 01-opened

# The dialog opens with the find box focused; Tab goes to the replacement box. Replace All is
# reached by Tab from there, past the two boxes to tick and the Find Next and Replace buttons.
keys ctrl+h
dialog=$(wait_other_window)
[ -n "$dialog" ] || fail "Ctrl+H showed no Replace dialog"
type_text 'лес\'
keys Tab
type_text 'роща\'
shot 02-replace-typed
keys Tab Tab Tab Tab Tab space
settle 1
shot 03-replaced-all
keys Escape
[ -z "$(other_windows)" ] || fail "Escape left the Replace dialog open"

keys ctrl+z
keys ctrl+s
settle 2
shot 04-undone-saved
cmp "$document" "$original" || fail "after undoing Replace All the file is not the original"

keys ctrl+y
keys ctrl+s
settle 2
shot 05-redone-saved
[ "$(name_of "$document" 0)" = 'роща\птицы_рассвет.wav' ] || fail "entry 1 is named '$(name_of "$document" 0)'"
[ "$(name_of "$document" 1)" = 'роща\кукушка.wav' ] || fail "entry 2 is named '$(name_of "$document" 1)'"
[ "$(name_of "$document" 2)" = "$(name_of "$original" 2)" ] || fail "entry 3's name changed"
[ "$(name_of "$document" 3)" = "$(name_of "$original" 3)" ] || fail "entry 4's name changed"
[ "$(numbers_of "$document")" = "$(numbers_of "$original")" ] || fail "bytes beside the names changed"
cmp <(head -c 2 "$document") <(head -c 2 "$original") || fail "the count changed"

close_editor
echo "find-replace: passed"
