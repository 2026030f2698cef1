#!/usr/bin/env bash
# Builds everything and runs every test: native tests with sanitizers, Windows tests on Wine
# (English and Russian locales) under a virtual display, and a bounded fuzz run.
# Exits non-zero when anything fails.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/install-deps.sh || exit 1
log=$(mktemp)
status=0

# A private sound server with a sink that plays into nothing: Wine's own sound driver finds it,
# so the editor plays on a real device, and the tests that listen record from it. It is ours
# alone (its own runtime folder) and runs as root too. If it cannot start, the tests that need
# it fail and say so; the others run as usual.
sound_dir=$(mktemp -d)
export XDG_RUNTIME_DIR=$sound_dir PULSE_SERVER=unix:$sound_dir/pulse/native
start_sound_server() {
  timeout 30 pulseaudio -n --daemonize=yes --exit-idle-time=-1 --log-target=file:"$sound_dir/server.log" \
    -L "module-null-sink sink_name=silent" -L module-native-protocol-unix >/dev/null 2>&1 &&
    timeout 10 pactl info >/dev/null 2>&1 ||
    { echo "warning: the sound server did not start; the tests that record sound will fail"; cat "$sound_dir/server.log" 2>/dev/null; }
}
stop_sound_server() {
  timeout 10 pactl exit >/dev/null 2>&1 || timeout 10 pulseaudio --kill >/dev/null 2>&1 || true
  rm -rf "$sound_dir"
}
trap 'rm -f "$log"; stop_sound_server' EXIT

# The release build is what users get; one end-to-end scenario among the Windows tests runs it.
for kind in native win release fuzz; do
  echo "== building $kind"
  scripts/build.sh "$kind" >"$log" 2>&1 || { cat "$log"; echo "build $kind failed"; exit 1; }
done

run_ctest() {
  echo "== $1 tests"
  shift
  "$@" 2>&1 | tee -a "$log.results"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
}
rm -f "$log.results"

ctest_args=(--output-on-failure --timeout 600)
run_ctest native ctest --test-dir build/native "${ctest_args[@]}"
# Before the Wine session boots, which looks for sound devices once.
start_sound_server
run_ctest Windows xvfb-run -a -s "-screen 0 1280x1024x24" \
  scripts/wine-session.sh "$root/build/win" ctest --test-dir build/win "${ctest_args[@]}"
run_ctest fuzz ctest --test-dir build/fuzz "${ctest_args[@]}"

passed=0; failed=0
while read -r line; do
  total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
  bad=$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$line")
  passed=$((passed + total - bad)); failed=$((failed + bad))
done < <(grep -E "tests passed, [0-9]+ tests failed out of" "$log.results")
rm -f "$log.results"
[ "$failed" -eq 0 ] || status=1
echo "$passed passed, $failed failed"
exit $status
