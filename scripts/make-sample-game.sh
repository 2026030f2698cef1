#!/usr/bin/env bash
# Makes a small game folder for the editor's first run: two levels of lists under lists/ (the
# forest: lists/forest.bad and lists/forest/storm.bad; the swamp: lists/swamp/day.bad and
# lists/swamp/night.bad) and the sounds they name under ambient/, drawn with sox (and oggenc for
# the Ogg Vorbis ones). One name, ambient\sunset\bell.wav, is left without a file, so that the
# missing-file marks show, and three sounds no list names (ambient\dawn\cuckoo.wav,
# ambient\day\thunder.wav, ambient\night\wolf.wav), so that the game's unused sounds do.
# Usage: scripts/make-sample-game.sh <folder>; quick when the folder is already made. Prints the
# forest's list.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
game=$1
list="$game/lists/forest.bad"
mkdir -p "$game/lists/forest" "$game/lists/swamp" "$game/ambient/dawn" "$game/ambient/day" "$game/ambient/sunset" \
  "$game/ambient/night"
# put <sample> <list>: the sample list in its place, unless it is there already.
put() { cmp -s "$root/samples/$1" "$game/lists/$2" || cp "$root/samples/$1" "$game/lists/$2"; }
put game-forest.bad forest.bad
put game-forest-storm.bad forest/storm.bad
put game-swamp-day.bad swamp/day.bad
put game-swamp-night.bad swamp/night.bad

# make <name> <rate> <sox synth and effects...>: a mono sound, as WAV or through oggenc as Ogg.
make() {
  local name=$1 rate=$2; shift 2
  local out="$game/ambient/$name"
  [ -s "$out" ] && return 0
  case "$out" in
    *.ogg)
      sox -q -n -r "$rate" -c 1 -b 16 "$out.wav" "$@"
      oggenc -Q -q 3 -o "$out" "$out.wav"
      rm -f "$out.wav" ;;
    *) sox -q -n -r "$rate" -c 1 -b 16 "$out" "$@" ;;
  esac
}

make dawn/birds.ogg 44100 synth 0.7 sine 2600-4100 tremolo 14 70 fade t 0.02 0.7 0.15 gain -4
make dawn/rooster.wav 22050 synth 1.1 sawtooth 480-720 gain -8 lowpass 1800 fade t 0.05 1.1 0.4
make day/wind.ogg 44100 synth 3.5 brownnoise lowpass 500 tremolo 0.5 40 fade t 0.8 3.5 1.2 gain -2
make day/bees.wav 22050 synth 2 sawtooth 210 gain -10 tremolo 28 60 lowpass 900 fade t 0.3 2 0.5
make sunset/frogs.ogg 22050 synth 0.45 square 170 gain -8 tremolo 22 90 lowpass 700 fade t 0.03 0.45 0.1
make night/crickets.ogg 44100 synth 0.9 sine 4400 tremolo 38 100 fade t 0.05 0.9 0.2 gain -12
make night/owl.wav 44100 synth 0.6 sine 430-360 fade t 0.05 0.6 0.3 gain -3
make day/cart.wav 22050 synth 1.4 brownnoise lowpass 300 tremolo 6 80 fade t 0.1 1.4 0.4 gain -6
make day/rain.ogg 44100 synth 1.5 pinknoise highpass 800 fade t 0.3 1.5 0.5 gain -10
make dawn/cuckoo.wav 22050 synth 0.5 sine 780-650 fade t 0.02 0.5 0.1 gain -6
make day/thunder.wav 22050 synth 2.5 brownnoise lowpass 150 fade t 0.05 2.5 1.8 gain -2
make night/wolf.wav 22050 synth 1.8 sine 400-560 fade t 0.3 1.8 0.6 gain -8
echo "$list"
