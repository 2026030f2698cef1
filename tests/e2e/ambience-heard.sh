#!/usr/bin/env bash
# Play Ambience, recorded from the sound server: Ctrl+F5 plays the chosen time of day's entries
# and no other, a volume edited while it plays is heard from the entry's next start, another
# time of day plays its own entries, and Escape or Ctrl+F5 again bring silence.
source "$(dirname "$0")/e2e-lib.sh"
source "$(dirname "$0")/sound-lib.sh"

# A quarter second of 500 Hz at dawn and of 1000 Hz at night, each repeating every 0.3 s.
sox -n -r 22050 -b 16 -c 1 "$work/dawn.wav" synth 0.25 sine 500 vol 0.5
sox -n -r 44100 -b 16 -c 1 "$work/night.wav" synth 0.25 sine 1000 vol 0.5
document=$work/ambience.bad
{ printf '\002\0'; entry_record dawn.wav 300 300 0 100; entry_record night.wav 300 300 3 100; } >"$document"

# listen <name> <seconds>: what plays for that long from now on, and its 500 and 1000 Hz bands.
listen() {
  keep_heard "$(mark)" "$2" "$1"
  dawn=$(heard_seconds "$1" 470-530)
  night=$(heard_seconds "$1" 950-1050)
  echo "$1: 500 Hz $dawn s, 1000 Hz $night s of $2"
}

start_editor "$(windows_path "$document")"
keys ctrl+4 ctrl+F5
shot 01-night-playing
listen night 3
louder "$night" 1.5 || fail "Play Ambience at night did not sound the night's entry"
louder 0.05 "$dawn" || fail "Play Ambience at night sounded the dawn's entry"

# The night entry's volume to 0 while it plays: silent from its next start on.
keys Home Down Right Right Right Right Right Return ctrl+a
type_text "0"
keys Return
settle 0.5
listen edited 2
louder 0.05 "$night" || fail "a volume of 0 typed while playing was not heard ($night s at 1000 Hz)"

keys Escape
listen stopped 1.5
louder 0.02 "$dawn" && louder 0.02 "$night" || fail "Escape did not silence the ambience"

keys ctrl+1 ctrl+F5
listen dawn 2
louder "$dawn" 1.0 || fail "Play Ambience at dawn did not sound the dawn's entry"
keys ctrl+F5
listen again 1.5
louder 0.02 "$dawn" || fail "Ctrl+F5 again did not stop the ambience"
# Undone, the edit leaves nothing to save, and the editor closes without asking.
keys ctrl+z
close_editor
echo "ambience-heard: passed"
