#!/usr/bin/env bash
# Work survives other programs and a forced end: a file changed on disk is offered for reload
# and shows its new entries; Save over a file changed since it was read asks first, and No
# leaves the other program's bytes; a modified document outlives a hard kill of the editor,
# is offered at the next start and saves to its file.
source "$(dirname "$0")/e2e-lib.sh"

document=$work/ambient.bad
cp "$samples/four-times-of-day.bad" "$document"
first_outside=$samples/extreme-numbers.bad
second_outside=$samples/no-entries.bad
volume_offset=$((2 + 112))

# Waits for the message box that must now be up, keeps its picture and answers it with `keys`.
answer_box() {
  local box
  box=$(wait_other_window)
  [ -n "$box" ] || fail "no message box came up ($1)"
  shot "$1"
  shift
  keys "$@"
  settle 2
}

# The document equals the file $1 but for entry 0's volume, which is $2.
holds_with_volume() {
  cmp -s <(head -c $volume_offset "$document") <(head -c $volume_offset "$1") &&
    cmp -s <(tail -c +$((volume_offset + 5)) "$document") <(tail -c +$((volume_offset + 5)) "$1") &&
    [ "$(int32_at "$document" $volume_offset)" = "$2" ]
}

set_first_volume() {
  keys Down Up Up Up Up Up Right Right Right Right Right Return ctrl+a
  type_text "$1"
  keys Return
}

# The frame comes back to the front: here, as the open dialog closes.
bring_frame_back() {
  keys ctrl+o
  [ -n "$(wait_other_window)" ] || fail "Ctrl+O showed no open dialog"
  keys Escape
  settle 2
}

start_editor
open_with_dialog "$document"
shot 01-opened

# (a) Changed on disk while unmodified: the reload question, Yes shows the new entries.
sleep 1
cp "$first_outside" "$document"
bring_frame_back
answer_box 02-reload-question Return
shot 03-reloaded
set_first_volume 2718
keys ctrl+s
settle 2
holds_with_volume "$first_outside" 2718 || fail "the reloaded document did not hold the other program's entries"

# (b) Modified, changed on disk, Save: the overwrite question, No keeps the disk's bytes.
set_first_volume 1618
sleep 1
cp "$second_outside" "$document"
keys ctrl+s
answer_box 04-overwrite-question Return
cmp -s "$document" "$second_outside" || fail "No in the overwrite question still wrote the file"

# (c) Killed hard with the change unsaved: the next start offers it, Yes and Save write it.
settle 2
[ -n "$(ls "$(recovery_folders)" 2>/dev/null)" ] || fail "the modified document has no recovery copy"
wine_run taskkill /f /im sonarwick.exe >/dev/null 2>&1 </dev/null
wait "$editor_pid" || true
editor_pid=

keep_recovery_copies=1 start_editor
answer_box 05-restore-offer Return
# Its file was changed since the copy's document read it: the reload question comes once, No
# keeps the restored change, and Save then puts it over the file without asking again.
answer_box 06-restored-reload-question Return
keys ctrl+s
settle 2
[ -z "$(other_windows)" ] || fail "Save asked again about a change the user kept the document over"
holds_with_volume "$first_outside" 1618 || fail "the restored document did not save its unsaved change"
[ -z "$(ls "$(recovery_folders)" 2>/dev/null)" ] || fail "a saved document left its recovery copy"

close_editor
echo "outside-world: passed"
