#!/usr/bin/env bash
# Builds everything and runs every test: native tests with sanitizers, Windows tests on Wine
# (English and Russian locales) under a virtual display, and a bounded fuzz run.
# Exits non-zero when anything fails.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/install-deps.sh || exit 1
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0

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
