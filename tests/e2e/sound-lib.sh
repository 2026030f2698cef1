# What the user hears, recorded from the sound server: a sink of the test's own that writes what
# it plays, in real time, to a pipe, as a sound card plays it into the air. (Recording a null
# sink's monitor instead loses parts of what Wine plays, whatever plays it, the system's
# PlaySound included, and so cannot tell whether a sound was heard.) Source after e2e-lib.sh.

timeout 10 pactl info >/dev/null 2>&1 ||
  fail "no PulseAudio server to record from (PULSE_SERVER=${PULSE_SERVER:-unset}); scripts/test.sh starts one"

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

# A ".bad" record: minimum and maximum repeat (4 bytes each, little-endian), time of day (1),
# name (103, NUL-padded), volume (4).
int32_le() { printf "\\$(printf %03o $(($1 & 255)))\\$(printf %03o $((($1 >> 8) & 255)))\\$(printf %03o $((($1 >> 16) & 255)))\\$(printf %03o $((($1 >> 24) & 255)))"; }
entry_record() {  # name minimum maximum time-of-day volume
  int32_le "$2"; int32_le "$3"; printf "\\$(printf %03o "$4")"
  printf '%s' "$1"; head -c $((103 - ${#1})) /dev/zero; int32_le "$5"
}

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
# How many seconds of a tone of RMS 0.5/sqrt 2 one frequency band of a recording holds: its
# energy over the energy per second of such a tone.
heard_seconds() {
  sox -t raw -r $rate -e signed -b 16 -c 2 "$work/$1.raw" -n remix 1 sinc -n 4096 "$2" stat 2>&1 |
    awk '/^Length/ { length_s = $3 } /^RMS +amplitude/ { rms = $3 } END { printf "%.3f", length_s * rms * rms / 0.125 }'
}
louder() { awk "BEGIN { exit !($1 > $2) }"; }
