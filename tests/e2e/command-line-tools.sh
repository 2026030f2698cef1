#!/usr/bin/env bash
# The tools a mod's build script runs: --check prints one tab-separated line per problem and
# exits 0, 1 or 2; --render-ambience writes a time of day as a WAV file, the same bytes for the
# same seed, and nothing when it fails; --usages and --unused-sounds answer for a whole game
# folder with the same exit codes as --check. None opens a window or hands itself to a running
# editor.
source "$(dirname "$0")/e2e-lib.sh"

game=$work/game
"$SONARWICK_ROOT/scripts/make-sample-game.sh" "$game" >/dev/null
list=$game/lists/forest.bad

# run_tool <stdout file> <stderr file> <arguments...>: the exit code in $tool_status.
run_tool() {
  local out=$1 err=$2; shift 2
  tool_status=0
  wine_run "$exe" "$@" >"$out" 2>"$err.all" </dev/null || tool_status=$?
  # The shell's own complaint about a locale this machine lacks is not the tool's.
  grep -v "setlocale" "$err.all" >"$err" || true
}

# The editor runs meanwhile: a tool must not hand itself over to it.
start_editor

# The sample game leaves one sound without a file: one problem, rule and entry as № shows.
run_tool "$work/out" "$work/err" --check "$(windows_path "$list")"
[ "$tool_status" -eq 1 ] || fail "--check on a list with a missing sound exited $tool_status"
[ "$(wc -l <"$work/out")" -eq 1 ] || fail "--check printed $(wc -l <"$work/out") lines: $(cat "$work/out")"
awk -F'\t' 'NF != 5 { exit 1 }' "$work/out" || fail "a problem line is not five tab-separated fields"
cut -f2,4 "$work/out" | grep -qx $'6\tBAD004' || fail "the missing bell.wav (entry 6) was not found"
[ -s "$work/err" ] && fail "--check wrote to the standard error: $(cat "$work/err")"

# A folder is every list under it: the game's four lists, of which only the forest's has a problem.
run_tool "$work/out" "$work/err" --check "$(windows_path "$game")"
[ "$tool_status" -eq 1 ] || fail "--check on the game folder exited $tool_status"
[ "$(cut -f1,2,4 "$work/out")" = "$(windows_path "$game")"$'\\lists\\forest.bad\t6\tBAD004' ] ||
  fail "--check on the game folder printed: $(cat "$work/out")"
run_tool "$work/out" "$work/err" --check "$(windows_path "$game/lists/swamp")"
[ "$tool_status" -eq 0 ] || fail "--check on the swamp's clean lists exited $tool_status: $(cat "$work/out")"

# Where a sound is used: in other letters and with `/` it is the same file for the game.
run_tool "$work/out" "$work/err" --usages "ambient/DAY/wind.ogg" "$(windows_path "$game")"
[ "$tool_status" -eq 0 ] || fail "--usages of a used sound exited $tool_status: $(cat "$work/err")"
[ "$(cat "$work/out")" = $'lists\\forest.bad\t2\tday\t50\nlists\\forest\\storm.bad\t0\tday\t90' ] ||
  fail "--usages printed: $(cat "$work/out")"
run_tool "$work/out" "$work/err" --usages 'ambient\day\thunder.wav' "$(windows_path "$game")"
[ "$tool_status" -eq 1 ] || fail "--usages of an unused sound exited $tool_status"
[ -s "$work/out" ] && fail "--usages of an unused sound printed: $(cat "$work/out")"

# The sounds no list names, sorted, and with --missing the name no file has and its list.
unused=$'ambient\\dawn\\cuckoo.wav\nambient\\day\\thunder.wav\nambient\\night\\wolf.wav'
run_tool "$work/out" "$work/err" --unused-sounds "$(windows_path "$game")"
[ "$tool_status" -eq 1 ] || fail "--unused-sounds with unused sounds exited $tool_status: $(cat "$work/err")"
[ "$(cat "$work/out")" = "$unused" ] || fail "--unused-sounds printed: $(cat "$work/out")"
run_tool "$work/out" "$work/err" --unused-sounds --missing "$(windows_path "$game")"
[ "$(cat "$work/out")" = "$unused"$'\nambient\\sunset\\bell.wav\tlists\\forest.bad' ] ||
  fail "--unused-sounds --missing printed: $(cat "$work/out")"
# Given by hand, the sound folder is where the names are looked up: here none is found.
run_tool "$work/out" "$work/err" --unused-sounds "$(windows_path "$game/lists")" \
  --sound-folder "$(windows_path "$game/ambient")" --missing
[ "$tool_status" -eq 1 ] || fail "--unused-sounds with another sound folder exited $tool_status"
grep -qxF $'ambient\\day\\wind.ogg\tforest.bad\tforest\\storm.bad' "$work/out" ||
  fail "a name not in that folder is not missing: $(cat "$work/out")"

# A list the reader refuses is named, and the answer, printed as far as it goes, exits 2; so do a
# game folder and a sound folder that are not there.
printf '\310\000' >"$game/lists/broken.bad"
run_tool "$work/out" "$work/err" --usages "ambient/day/wind.ogg" "$(windows_path "$game")"
[ "$tool_status" -eq 2 ] || fail "--usages with a refused list exited $tool_status"
[ "$(wc -l <"$work/out")" -eq 2 ] || fail "--usages with a refused list printed: $(cat "$work/out")"
grep -q "broken.bad" "$work/err" || fail "the refused list was not named: $(cat "$work/err")"
rm "$game/lists/broken.bad"
run_tool "$work/out" "$work/err" --usages "ambient/day/wind.ogg" "$(windows_path "$work/no-game")"
[ "$tool_status" -eq 2 ] || fail "--usages on a missing game folder exited $tool_status"
grep -q "no-game" "$work/err" || fail "the missing game folder was not named: $(cat "$work/err")"
run_tool "$work/out" "$work/err" --unused-sounds "$(windows_path "$game")" --sound-folder "$(windows_path "$work/no-sounds")"
[ "$tool_status" -eq 2 ] || fail "--unused-sounds with a missing sound folder exited $tool_status"
run_tool "$work/out" "$work/err" --usages "ambient/day/wind.ogg"
[ "$tool_status" -eq 2 ] || fail "--usages without a game folder exited $tool_status"
grep -q -- "--unused-sounds" "$work/err" || fail "no usage after refused arguments: $(cat "$work/err")"

# With every sound there, the list is clean.
sox -q -n -r 22050 -c 1 -b 16 "$game/ambient/day/cart.wav" synth 0.3 sine 300
sox -q -n -r 22050 -c 1 -b 16 "$game/ambient/sunset/bell.wav" synth 0.3 sine 900
run_tool "$work/out" "$work/err" --check "$(windows_path "$list")"
[ "$tool_status" -eq 0 ] || fail "--check on a clean list exited $tool_status: $(cat "$work/out")"
[ -s "$work/out" ] && fail "--check on a clean list printed: $(cat "$work/out")"
# With the bell there and the unused sounds gone, the game has nothing to report.
mkdir -p "$work/spare" && mv "$game/ambient/dawn/cuckoo.wav" "$game/ambient/day/thunder.wav" "$work/spare/"
mv "$game/ambient/night/wolf.wav" "$work/spare/"
run_tool "$work/out" "$work/err" --unused-sounds --missing "$(windows_path "$game")"
[ "$tool_status" -eq 0 ] || fail "--unused-sounds --missing on a tidy game exited $tool_status: $(cat "$work/out")"
[ -s "$work/out" ] && fail "--unused-sounds --missing on a tidy game printed: $(cat "$work/out")"

# A list of planted mistakes, a sound folder given by hand, and the wording of the language.
cp "$samples/extreme-numbers.bad" "$work/planted.bad"
run_tool "$work/out" "$work/err" --check "$(windows_path "$work/planted.bad")" --sound-folder "$(windows_path "$game")"
[ "$tool_status" -eq 1 ] || fail "--check on planted mistakes exited $tool_status"
cut -f4 "$work/out" | grep -qx BAD001 || fail "a maximum below the minimum was not found"
cut -f4 "$work/out" | grep -qx BAD002 || fail "a repeat time of 0 or less was not found"
if [[ "$LC_ALL" == ru* ]]; then
  grep -q 'Громкость\|Мин\|Макс' "$work/out" || fail "the problems are not worded in Russian: $(head -2 "$work/out")"
fi

# A list that cannot be read outweighs the others' problems; the reason goes to the error.
run_tool "$work/out" "$work/err" --check "$(windows_path "$work/planted.bad")" "$(windows_path "$work/nothing.bad")"
[ "$tool_status" -eq 2 ] || fail "--check with an unreadable list exited $tool_status"
grep -q "nothing.bad" "$work/err" || fail "the unreadable list was not named: $(cat "$work/err")"

# Arguments it cannot take: the reason and the usage, exit code 2.
run_tool "$work/out" "$work/err" --check
[ "$tool_status" -eq 2 ] || fail "--check without a list exited $tool_status"
grep -q -- "--render-ambience" "$work/err" || fail "no usage after refused arguments: $(cat "$work/err")"

# A night of the sample game, twice with one seed and once with another.
render() { run_tool "$work/out" "$work/err" --render-ambience "$(windows_path "$list")" "$@"; }
render --time night --seconds 20 --seed 7 --out "$(windows_path "$work/night1.wav")"
[ "$tool_status" -eq 0 ] || fail "--render-ambience exited $tool_status: $(cat "$work/err")"
[ "$(soxi -r "$work/night1.wav") $(soxi -c "$work/night1.wav") $(soxi -b "$work/night1.wav")" = "44100 2 16" ] ||
  fail "the render is not 16-bit 44.1 kHz stereo"
[ "$(soxi -s "$work/night1.wav")" -eq $((44100 * 20)) ] || fail "the render is not 20 s long"
render --time night --seconds 20 --seed 7 --out "$(windows_path "$work/night2.wav")"
cmp -s "$work/night1.wav" "$work/night2.wav" || fail "one seed rendered two different files"
render --time night --seconds 20 --seed 8 --out "$(windows_path "$work/night3.wav")"
cmp -s "$work/night1.wav" "$work/night3.wav" && fail "another seed rendered the same file"
# The bell made above (900 Hz) rings at sunset only: its band is in the sunset's render and
# not in the night's.
render --time sunset --seconds 20 --seed 7 --out "$(windows_path "$work/sunset.wav")"
band() { sox "$1" -n sinc 880-920 stat 2>&1 | awk '/RMS +amplitude/ { print $3 }'; }
sunset=$(band "$work/sunset.wav") night=$(band "$work/night1.wav")
awk -v sunset="$sunset" -v night="$night" 'BEGIN { exit !(sunset > 0.001 && night < sunset / 30) }' ||
  fail "the sunset's bell is not where it belongs (sunset $sunset, night $night)"

# Twenty minutes of sound (211 MB) stream to the file: the process's peak memory, read from
# outside as the system counts it, stays far below the file's size.
wine_run "$exe" --render-ambience "$(windows_path "$list")" --time night --seconds 1200 \
  --out "$(windows_path "$work/long.wav")" >/dev/null 2>&1 </dev/null &
render_pid=$! peak_kb=0
while kill -0 "$render_pid" 2>/dev/null; do
  kb=$(awk '/^VmHWM/ { print $2 }' "/proc/$render_pid/status" 2>/dev/null || true)
  [ -n "$kb" ] && [ "$kb" -gt "$peak_kb" ] && peak_kb=$kb
  sleep 0.1
done
wait "$render_pid" || fail "the twenty-minute render failed"
[ "$(soxi -s "$work/long.wav")" -eq $((44100 * 1200)) ] || fail "the twenty-minute render is not whole"
[ "$peak_kb" -lt $((128 * 1024)) ] || fail "rendering twenty minutes took $((peak_kb / 1024)) MB of memory"
rm -f "$work/long.wav"
[ -z "$(ls "$work" | grep -i '\.tmp$')" ] || fail "a render left a temporary file: $(ls "$work")"

# Refused arguments and an output that cannot be written leave no file behind.
render --time noon --out "$(windows_path "$work/noon.wav")"
[ "$tool_status" -eq 2 ] || fail "--render-ambience with a bad time exited $tool_status"
[ -e "$work/noon.wav" ] && fail "a refused render wrote a file"
render --time day --seconds 5 --out "$(windows_path "$work/no-such-folder/day.wav")"
[ "$tool_status" -eq 3 ] || fail "--render-ambience into a missing folder exited $tool_status"
grep -q "day.wav" "$work/err" || fail "the unwritable output was not named: $(cat "$work/err")"

# The list itself is never the output, under any spelling the file system takes for it: exit 3,
# the list as it was, nothing left beside it.
cp "$list" "$work/list-before.bad"
beside_before=$(ls "$game/lists")
for out in "$(windows_path "$list")" "$(windows_path "$game/LISTS/../lists/FOREST.BAD")" "Z:$list"; do
  render --time night --seconds 5 --out "$out"
  [ "$tool_status" -eq 3 ] || fail "a render onto its own list ($out) exited $tool_status"
  cmp -s "$list" "$work/list-before.bad" || fail "a render onto its own list ($out) changed it"
  grep -qi "forest.bad" "$work/err" || fail "the refusal did not name the output: $(cat "$work/err")"
done
[ "$(ls "$game/lists")" = "$beside_before" ] || fail "a refused render left files: $(ls "$game/lists")"

# An option of no command is refused, not handed to the editor as a file.
for typo in --bogus --chek; do
  run_tool "$work/out" "$work/err" "$typo" "$(windows_path "$list")"
  [ "$tool_status" -eq 2 ] || fail "$typo exited $tool_status"
  grep -q -- "$typo" "$work/err" || fail "the refusal of $typo did not name it: $(cat "$work/err")"
  grep -q -- "--render-ambience" "$work/err" || fail "no usage after $typo: $(cat "$work/err")"
done
# A list whose name begins with "--" is reached after "--" and as .\--name.
cp "$list" "$work/--odd.bad"
cd "$work"
run_tool "$work/out" "$work/err" --check -- --odd.bad '.\--odd.bad'
[ "$tool_status" -eq 0 ] || fail "--check of --odd.bad exited $tool_status: $(cat "$work/err")"

# A sound folder that is not one, an option given twice and a folder given as a list are refused
# with exit code 2, each saying so once.
run_tool "$work/out" "$work/err" --check "$(windows_path "$list")" --sound-folder "$(windows_path "$work/nowhere")"
[ "$tool_status" -eq 2 ] || fail "--check with a missing sound folder exited $tool_status"
[ "$(grep -c nowhere "$work/err")" -eq 1 ] || fail "the missing sound folder was not said once: $(cat "$work/err")"
[ -s "$work/out" ] && fail "--check with a missing sound folder printed problems: $(cat "$work/out")"
render --time night --seconds 5 --sound-folder "$(windows_path "$list")" --out "$(windows_path "$work/x.wav")"
[ "$tool_status" -eq 2 ] || fail "--render-ambience with a file as its sound folder exited $tool_status"
render --time night --time day --seconds 5 --out "$(windows_path "$work/x.wav")"
[ "$tool_status" -eq 2 ] || fail "--render-ambience with --time twice exited $tool_status"
grep -q -- "--time" "$work/err" || fail "the repeated option was not named: $(cat "$work/err")"
[ -e "$work/x.wav" ] && fail "a refused render wrote a file"
run_tool "$work/out" "$work/err" --render-ambience "$(windows_path "$game")" --time night --seconds 5 \
  --out "$(windows_path "$work/x.wav")"
[ "$tool_status" -eq 2 ] || fail "--render-ambience of a folder exited $tool_status"
if [[ "$LC_ALL" == ru* ]]; then folder_said="папка, а не список"; else folder_said="is a folder, not a list"; fi
grep -q "$folder_said" "$work/err" || fail "a folder given as a list was not called one: $(cat "$work/err")"

# A time at which no entry plays is written as silence, and said so.
run_tool "$work/out" "$work/err" --render-ambience "$(windows_path "$samples/no-entries.bad")" --time night \
  --seconds 2 --out "$(windows_path "$work/silence.wav")"
[ "$tool_status" -eq 0 ] || fail "a render of no entries exited $tool_status"
[ "$(soxi -s "$work/silence.wav")" -eq $((44100 * 2)) ] || fail "a render of no entries is not 2 s long"
grep -q "silence.wav" "$work/err" || fail "a render of silence said nothing: $(cat "$work/err")"

[ "$(xdotool search --onlyvisible --class sonarwick.exe 2>/dev/null | wc -l)" -eq 1 ] ||
  fail "a tool opened a window"
close_editor
echo "command-line-tools: passed"
