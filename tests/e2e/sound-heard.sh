#!/usr/bin/env bash
# What the user hears, recorded from the sound server: the very first F5 after the editor
# starts plays the selected entry's sound from its first moment to its last, an Ogg plays as
# well, and Escape, Shift+F5 or closing the editor silence a sound at once. Needs a PulseAudio
# server (scripts/test.sh starts one); the sound goes to a sink of our own that writes what it
# plays, in real time, to a pipe, as a sound card plays it into the air. (Recording a null
# sink's monitor instead loses parts of what Wine plays, whatever plays it, the system's
# PlaySound included, and so cannot tell whether a sound was heard.)
source "$(dirname "$0")/e2e-lib.sh"

timeout 10 pactl info >/dev/null 2>&1 ||
  fail "no PulseAudio server to record from (PULSE_SERVER=${PULSE_SERVER:-unset}); scripts/test.sh starts one"

# A WAV: 1.2 s at 440 Hz ending in 0.2 s at 660 Hz, so a lost end shows as a missing band.
# An Ogg: 6 s at 880 Hz, long enough to be stopped while it plays.
sox -n -r 22050 -b 16 -c 1 "$work/body.wav" synth 1.2 sine 440 vol 0.5
sox -n -r 22050 -b 16 -c 1 "$work/end.wav" synth 0.2 sine 660 vol 0.5
sox "$work/body.wav" "$work/end.wav" "$work/tone.wav"
sox -n -r 44100 -b 16 -c 2 "$work/long.wav" synth 6 sine 880 vol 0.5
oggenc -Q -o "$work/long.ogg" "$work/long.wav"
rm "$work/body.wav" "$work/end.wav" "$work/long.wav"

# Two entries naming the sounds beside the document, which is where the editor looks first.
# A record: minimum and maximum (4 bytes each), time of day (1), name (103, NUL-padded), volume (4).
entry() { printf '\144\0\0\0\310\0\0\0\001'; printf '%s' "$1"; head -c $((103 - ${#1})) /dev/zero; printf '\144\0\0\0'; }
document=$work/heard.bad
{ printf '\002\0'; entry tone.wav; entry long.ogg; } >"$document"

rate=44100
sink=heard$$
fifo=$work/heard.fifo
heard=$work/heard.raw
reader_pid=
sink_module=
previous_sink=$(timeout 10 pactl get-default-sink)
# The sink, its reader and the server's default go as they came, whatever happens.
trap 'status=$?
  [ -z "$reader_pid" ] || kill "$reader_pid" 2>/dev/null
  timeout 10 pactl set-default-sink "$previous_sink" 2>/dev/null
  [ -z "$sink_module" ] || timeout 10 pactl unload-module "$sink_module" 2>/dev/null
  (exit $status); finish' EXIT
sink_module=$(timeout 10 pactl load-module module-pipe-sink file="$fifo" sink_name="$sink" \
  format=s16le rate=$rate channels=2 use_system_clock_for_timing=yes) || fail "the sound server has no pipe sink"
cat "$fifo" >"$heard" &
reader_pid=$!
timeout 10 pactl set-default-sink "$sink" || fail "the pipe sink cannot be the default one"

# The byte where what plays from now on will be written (whole frames).
mark() { local size=$(stat -c %s "$heard"); echo $((size / 4 * 4)); }
# Waits until $2 seconds were played after the mark $1, then keeps them as $3.raw (and as a
# WAV beside the screenshots, to listen to when a check fails).
keep_heard() {
  local bytes=$(awk "BEGIN { print int($2 * $rate) * 4 }")
  for _ in $(seq 300); do
    [ "$(stat -c %s "$heard")" -ge $(($1 + bytes)) ] && break
    sleep 0.1
  done
  dd if="$heard" of="$work/$3.raw" iflag=skip_bytes,count_bytes skip="$1" count="$bytes" bs=64K status=none
  sox -t raw -r $rate -e signed -b 16 -c 2 "$work/$3.raw" "$artifacts/$3.wav"
}
# How many seconds of a tone of the test's loudness one frequency band of a recording holds:
# its energy over the energy per second of such a tone (RMS 0.5/sqrt 2).
heard_seconds() {
  sox -t raw -r $rate -e signed -b 16 -c 2 "$work/$1.raw" -n remix 1 sinc -n 4096 "$2" stat 2>&1 |
    awk '/^Length/ { length_s = $3 } /^RMS +amplitude/ { rms = $3 } END { printf "%.3f", length_s * rms * rms / 0.125 }'
}
louder() { awk "BEGIN { exit !($1 > $2) }"; }

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
