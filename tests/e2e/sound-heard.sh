#!/usr/bin/env bash
# What the user hears, recorded from the sound server: the very first F5 after the editor
# starts plays the selected entry's sound from its first moment to its last, an Ogg plays as
# well, and Escape, Shift+F5 or closing the editor silence a sound at once. Needs a PulseAudio
# server (scripts/test.sh starts one).
source "$(dirname "$0")/e2e-lib.sh"
source "$(dirname "$0")/sound-lib.sh"

# A WAV: 1.2 s at 440 Hz ending in 0.2 s at 660 Hz, so a lost end shows as a missing band.
# An Ogg: 6 s at 880 Hz, long enough to be stopped while it plays.
sox -n -r 22050 -b 16 -c 1 "$work/body.wav" synth 1.2 sine 440 vol 0.5
sox -n -r 22050 -b 16 -c 1 "$work/end.wav" synth 0.2 sine 660 vol 0.5
sox "$work/body.wav" "$work/end.wav" "$work/tone.wav"
sox -n -r 44100 -b 16 -c 2 "$work/long.wav" synth 6 sine 880 vol 0.5
oggenc -Q -o "$work/long.ogg" "$work/long.wav"
rm "$work/body.wav" "$work/end.wav" "$work/long.wav"

# Two entries naming the sounds beside the document, which is where the editor looks first.
document=$work/heard.bad
{ printf '\002\0'; entry_record tone.wav 100 200 1 100; entry_record long.ogg 100 200 1 100; } >"$document"

start_editor "$(windows_path "$document")"
shot 01-started
start=$(mark)
keys Home F5
shot 02-first-play
keep_heard "$start" 4 first
tone=$(heard_seconds first 400-480)
end=$(heard_seconds first 620-700)
other=$(heard_seconds first 1500-2500)
echo "first F5, seconds heard: 440 Hz $tone of 1.2, 660 Hz $end of 0.2, 1500-2500 Hz $other"
louder "$tone" 1.1 || fail "the first F5 after start was not heard in full ($tone s of the 1.2 s at 440 Hz)"
louder "$end" 0.17 || fail "the end of the sound was not heard ($end s of the last 0.2 s at 660 Hz)"
louder 0.05 "$other" || fail "the first F5 played something else than the tone ($other s at 1500-2500 Hz)"

# The Ogg plays; Escape, and on the next play Shift+F5, stop it at once.
for stop in Escape shift+F5; do
  start=$(mark)
  keys Down F5
  keep_heard "$start" 1.5 "playing-$stop"
  playing=$(heard_seconds "playing-$stop" 840-920)
  louder "$playing" 0.5 || fail "the Ogg sound was not heard ($playing s at 880 Hz)"
  keys "$stop"
  keep_heard "$(mark)" 1.5 "stopped-$stop"
  stopped=$(heard_seconds "stopped-$stop" 840-920)
  echo "$stop: 880 Hz heard $playing s while playing, $stopped s after"
  louder 0.01 "$stopped" || fail "$stop did not silence the sound ($stopped s at 880 Hz after it)"
  shot "03-stopped-by-$stop"
  keys Up
done

# Closing while a sound plays ends the program and the sound with it.
keys Down F5
settle 0.5
close_editor
keep_heard "$(mark)" 1 closed
louder 0.01 "$(heard_seconds closed 840-920)" || fail "the sound went on after the editor closed"
echo "sound-heard: passed"
