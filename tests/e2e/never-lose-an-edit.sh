#!/usr/bin/env bash
# Nothing typed is lost on the roads that save or close: Ctrl+S commits the open cell; a name
# the file's code page cannot hold is refused as it is typed, with the file untouched; Close All and Alt+F4
# ask before dropping changes, and Cancel keeps everything open.
source "$(dirname "$0")/e2e-lib.sh"

document=$work/ambient.bad
cp "$samples/four-times-of-day.bad" "$document"

# A name that the interface's code page lacks: Cyrillic for the English (1252) interface,
# Latin with a diaeresis and Japanese for the Russian (1251) one.
case "${LC_ALL:-}" in
  ru*) unstorable="naïve_日本.ogg" ;;
  *) unstorable="лес.ogg" ;;
esac

volume_of_entry() { int32_at "$document" $((2 + 116 * $1 + 112)); }

# Answers the message box or prompt that must now be up with `keys`.
answer_box() {
  local box
  box=$(wait_other_window)
  [ -n "$box" ] || fail "no message box came up ($1)"
  shot "$1"
  shift
  keys "$@"
  settle 2
}

start_editor
open_with_dialog "$document"
shot 01-opened

# (a) A volume typed without Enter is what Ctrl+S writes.
keys Down Right Right Right Right Right Return
keys ctrl+a
type_text "31415"
keys ctrl+s
settle 2
shot 02-saved-with-open-cell
[ "$(volume_of_entry 0)" = "31415" ] || fail "Ctrl+S wrote volume $(volume_of_entry 0), not the typed 31415"

# (b) A name the code page cannot hold is refused as it is typed: its editor stays open with
# it, and Ctrl+S (which ends the edit first) writes nothing.
cp "$document" "$work/before-refusal.bad"
keys Left Left Left Left Return
keys ctrl+a
type_text "$unstorable"
keys Return
settle 1
shot 03-refused-name
keys ctrl+s
settle 2
cmp -s "$document" "$work/before-refusal.bad" || fail "a refused name reached the file"

# Mended, the change waits unsaved; Close All asks and Yes (the default button) saves it.
keys Home shift+End
type_text "forest.ogg"
keys Return
keys F10 Right Right Right Right Down Down Return
answer_box 04-close-all-prompt Return
name=$(dd if="$document" bs=1 skip=$((2 + 9)) count=10 2>/dev/null | tr -d '\0')
[ "$name" = "forest.ogg" ] || fail "Close All > Yes saved the name '$name', not forest.ogg"

# (c) Alt+F4 with a change: Cancel keeps the editor; No ends it with the file unchanged.
open_with_dialog "$document"
cp "$document" "$work/before-exit.bad"
keys Down Right Right Right Right Right Return
keys ctrl+a
type_text "777"
keys Return
keys alt+F4
answer_box 05-exit-prompt Escape
xdotool getwindowname "$frame" >/dev/null 2>&1 || fail "Cancel in the save prompt closed the editor"
keys alt+F4
answer_box 06-exit-prompt-again Tab Return
status=0
wait "$editor_pid" || status=$?
editor_pid=
[ "$status" -eq 1 ] || fail "the editor ended with exit code $status instead of 1"
cmp -s "$document" "$work/before-exit.bad" || fail "No in the save prompt still changed the file"
echo "never-lose-an-edit: passed"
