#!/usr/bin/env bash
# A document next to a sound folder that holds some of its files: the folder is found by
# itself, the names not found are counted in the status bar, F8 selects them, F5 plays a
# found one (or says why it cannot: there may be no sound device) without holding the editor.
# Then View > Sound Folder picks another folder, which is kept for the user, and F4 in a name
# editor, or a click on its browse button, picks a file in it.
source "$(dirname "$0")/e2e-lib.sh"

# The choice is kept in the prefix the tests share: start and end without one.
forget_folder() { wine_run reg delete 'HKCU\Software\Sonarwick' /v SoundFolder /f >/dev/null 2>&1 </dev/null || true; }
forget_folder

# Entries: "гр.wav" (not there), "wind.wav" (there), and one without a name. A record is the
# minimum and maximum (4 bytes each), the time of day (1 byte), then the name.
document=$work/lists/ambient.bad
mkdir -p "$work/lists"
cp "$samples/bytes-behind-terminators.bad" "$document"
sox -n -r 22050 -b 16 -c 1 "$work/lists/wind.wav" synth 3 sine 440 vol 0.3

start_editor
open_with_dialog "$document"
shot 01-missing-counted
# The pointer on the marked name cell shows where the file was looked for.
xdotool mousemove 120 124
settle 2
shot 01-not-found-tooltip
xdotool mousemove 1000 900

# From the found entry, F8 goes round to the one whose file is missing.
keys Down F8
shot 02-next-missing
keys ctrl+Delete ctrl+s
settle 2
[ "$(od -An -td2 -N2 "$document" | tr -d ' ')" = 2 ] || fail "the count is not 2"
[ "$(dd if="$document" bs=1 skip=11 count=8 2>/dev/null)" = "wind.wav" ] || fail "F8 did not select the entry whose file is missing"
shot 03-missing-deleted

# Plays (or refuses for want of a device) while the editor goes on answering.
keys Home F5
shot 04-playing
keys shift+F5 Down Up
shot 05-stopped
settle 1
[ -z "$(other_windows)" ] || fail "playing opened a window"

# The View menu's item before its last one; the folder dialog takes a typed path.
mkdir -p "$work/other sounds"
keys F10 Right Right Down Up Up Return
[ -n "$(wait_other_window)" ] || fail "View > Sound Folder showed no dialog"
settle 1
shot 06-folder-dialog
type_text "$(windows_path "$work/other sounds")"
keys Return
settle 2
shot 07-other-folder
[ -z "$(other_windows)" ] || fail "the folder dialog stayed open"
kept=$(wine_run reg query 'HKCU\Software\Sonarwick' /v SoundFolder </dev/null 2>/dev/null | tr -d '\r' | grep SoundFolder)
[[ "$kept" == *"$(windows_path "$work/other sounds")" ]] || fail "the chosen folder is not kept: $kept"

# F4 in the name editor of the entry without a name browses the folder; the chosen file goes
# in as its path relative to the folder.
mkdir -p "$work/other sounds/forest"
sox -n -r 22050 -b 16 -c 1 "$work/birds.wav" synth 1 sine 660 vol 0.3
oggenc -Q -o "$work/other sounds/forest/birds.ogg" "$work/birds.wav"
keys Down Return F4
[ -n "$(wait_other_window)" ] || fail "F4 in the name editor showed no open dialog"
settle 1
shot 08-browse-dialog
type_text "$(windows_path "$work/other sounds/forest/birds.ogg")"
keys Return
settle 2
shot 09-name-picked
keys ctrl+s
settle 2
[ "$(dd if="$document" bs=1 skip=127 count=17 2>/dev/null)" = 'forest\birds.ogg' ] || fail "the picked name is not in the file as a relative path"

# Alt+Down does the same; the dialog cancelled changes nothing.
keys Return alt+Down
[ -n "$(wait_other_window)" ] || fail "Alt+Down in the name editor showed no open dialog"
keys Escape
settle 2
[ -z "$(other_windows)" ] || fail "the open dialog stayed open"

# The name editor shows its browse button ("…") at the right end of the cell while a folder
# is known; a click on it does what F4 does. It is found from the frame: the first row's name
# cell ends where the first column and the name column do, one row below the header.
sox -n -r 22050 -b 16 -c 1 "$work/other sounds/forest/gust.wav" synth 1 sine 330 vol 0.3
keys Up Return
shot 10-browse-button
eval "$(xdotool getwindowgeometry --shell "$frame" | grep -E '^(X|Y)=')"
# On screen it covers the name's warning mark (wind.wav is not in this folder): its square
# holds a frame and dots, none of the mark's orange (the selected row around it is the
# system's highlight).
button_area() { convert "$artifacts/10-browse-button.png" -crop 17x17+$((X + 276))+$((Y + 115)) +repage "$@" info:; }
orange=$(button_area -colorspace HSL -fx 'u.r > 0.03 && u.r < 0.2 && u.g > 0.5' -format '%[fx:w*h*mean]')
dark=$(button_area -colorspace Gray -threshold 60% -format '%[fx:w*h*(1-mean)]')
awk "BEGIN { exit !($orange < 1 && $dark >= 1) }" || fail "the browse button is not on screen (orange $orange, dark $dark)"
xdotool mousemove $((X + 284)) $((Y + 123)) click 1
# Out of the grid again: a tooltip left showing would count as another window.
xdotool mousemove 1000 900
[ -n "$(wait_other_window)" ] || fail "the browse button showed no open dialog"
settle 1
shot 11-button-dialog
type_text "$(windows_path "$work/other sounds/forest/gust.wav")"
keys Return
settle 2
shot 12-button-picked
keys ctrl+s
settle 2
[ "$(dd if="$document" bs=1 skip=11 count=16 2>/dev/null)" = 'forest\gust.wav' ] || fail "the name picked with the button is not in the file as a relative path"

# The View menu's last item gives the chosen folder up: the one beside the document counts again.
keys F10 Right Right Down Up Return
settle 1
shot 13-found-again
kept=$(wine_run reg query 'HKCU\Software\Sonarwick' /v SoundFolder </dev/null 2>/dev/null | tr -d '\r' | grep SoundFolder)
[[ "$kept" != *"other sounds"* ]] || fail "the chosen folder is still kept: $kept"

close_editor
forget_folder
echo "sound-folder: passed"
