#!/usr/bin/env bash
# File > Export Ambience writes the chosen time of day as a WAV file: the same choice gives the
# same bytes, those the command line's render gives, and Reshuffle gives others.
source "$(dirname "$0")/e2e-lib.sh"

game=$work/game
list=$("$SONARWICK_ROOT/scripts/make-sample-game.sh" "$game")

# export_to <file>: Ctrl+Shift+E, the file's name into the Save dialog, and the file written.
export_to() {
  keys ctrl+shift+e
  [ -n "$(wait_other_window)" ] || fail "Ctrl+Shift+E showed no save dialog"
  keys End shift+Home
  type_text "$(windows_path "$1")"
  keys Return
  for _ in $(seq 60); do
    [ -s "$1" ] && [ -z "$(other_windows)" ] && return
    sleep 0.5
  done
  fail "the export did not write $1"
}

start_editor "$(windows_path "$list")"
keys ctrl+4
export_to "$work/night1.wav"
shot 01-exported
[ "$(soxi -r "$work/night1.wav") $(soxi -c "$work/night1.wav") $(soxi -b "$work/night1.wav")" = "44100 2 16" ] ||
  fail "the export is not 16-bit 44.1 kHz stereo"
[ "$(soxi -s "$work/night1.wav")" -eq $((44100 * 60)) ] || fail "the export is not the timeline's 60 s"
export_to "$work/night2.wav"
cmp -s "$work/night1.wav" "$work/night2.wav" || fail "two exports of one choice differ"

# The command line's render of the same choice is the very same file.
"$SONARWICK_ROOT/scripts/wine-exec" "$exe" --render-ambience "$(windows_path "$list")" --time night --seconds 60 \
  --seed 1 --out "$(windows_path "$work/cli.wav")" >/dev/null 2>&1 </dev/null || fail "the render failed"
cmp -s "$work/night1.wav" "$work/cli.wav" || fail "the export differs from the command line's render"

# The open list is never the export's file, under another spelling either: Yes to the dialog's
# "replace?" is refused with the reason, and the list stays as it was, with nothing beside it.
cp "$list" "$work/list-before.bad"
beside_before=$(ls "$(dirname "$list")")
keys ctrl+shift+e
[ -n "$(wait_other_window)" ] || fail "Ctrl+Shift+E showed no save dialog"
keys End shift+Home
type_text "$(windows_path "$(dirname "$list")/../LISTS/FOREST.BAD")"
keys Return
settle 1
shot 02-replace-question
keys Return
settle 2
shot 03-refused
cmp -s "$list" "$work/list-before.bad" || fail "the export wrote over the open list"
[ -n "$(other_windows)" ] || fail "the export over the open list said nothing"
keys Return
for _ in $(seq 20); do
  [ -z "$(other_windows)" ] && break
  settle 0.5
done
[ -z "$(other_windows)" ] || fail "the refusal stayed open"
[ "$(ls "$(dirname "$list")")" = "$beside_before" ] || fail "the refused export left files: $(ls "$(dirname "$list")")"

if [[ "$LC_ALL" != ru* ]]; then
  keys alt+a r
  export_to "$work/reshuffled.wav"
  cmp -s "$work/night1.wav" "$work/reshuffled.wav" && fail "Reshuffle exported the same realization"
fi
close_editor
echo "export-ambience: passed"
