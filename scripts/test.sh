#!/usr/bin/env bash
# Builds everything and runs every test: the native units, then the
# JavaScript suites against the release addon, the fuzz targets for a bounded
# time each, and the suites against the instrumented (AddressSanitizer +
# UndefinedBehaviorSanitizer) addon. With --quick: the release build and its
# JavaScript suites only.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
source scripts/suites.sh
summary_start
if [ "${1:-}" = --quick ]; then
  ensure_dependencies "npm run test:quick" "${BUILD_PACKAGES[@]}" "${UNIT_PACKAGES[@]}"
else
  ensure_dependencies "npm test" "${BUILD_PACKAGES[@]}" "${UNIT_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}" "${LEAK_PACKAGES[@]}"
fi

# Each fuzz target runs from its committed seeds for CIFS_FUZZ_SECONDS (15 by
# default, which keeps the phase near 2.5 minutes); any finding (crash, sanitizer report, leak, broken invariant) fails.
run_fuzz_targets() {
  local seconds=${CIFS_FUZZ_SECONDS:-15} work corpus name targets=0 runs=0 done_line
  work=$(mktemp -d)
  for corpus in fuzz/corpus/*/; do
    name=$(basename "$corpus")
    mkdir -p "$work/$name"
    # New inputs go to the scratch directory named first; the seeds stay as committed.
    if ! "build/Fuzz/fuzz/$name" -max_total_time="$seconds" -timeout=10 -artifact_prefix="$work/$name/" \
        "$work/$name" "$corpus" >"$work/$name.log" 2>&1; then
      tail -n 40 "$work/$name.log"
      echo "fuzz target $name: finding, input kept in $work/$name/" >&2
      summary_add "fuzz $targets targets clean, then a finding in $name"
      return 1
    fi
    done_line=$(grep -E '^Done [0-9]+ runs' "$work/$name.log")
    echo "fuzz target $name: $done_line"
    targets=$((targets + 1))
    runs=$((runs + $(awk '{print $2}' <<<"$done_line")))
  done
  summary_add "fuzz $targets targets, $runs runs"
  rm -rf "$work"
}

phase "floors (no #include runs up a floor or across spheres)"
node scripts/check-floors.js
summary_add "floors clean"

phase "build: release"
build release
if [ "${1:-}" = --quick ]; then
  phase "release suites (test/*.test.js)"
  run_js_suites build/Release release
  exit 0
fi
phase "units (GoogleTest, release)"
run_units release units
phase "release suites (test/*.test.js)"
run_js_suites build/Release release

phase "build: fuzz"
build fuzz
phase "fuzzing (${CIFS_FUZZ_SECONDS:-15} s per target)"
run_fuzz_targets

phase "build: instrumented"
build asan
phase "units (GoogleTest, instrumented)"
run_units asan "units instrumented"
phase "instrumented suites (test/*.test.js under AddressSanitizer + UndefinedBehaviorSanitizer)"
run_js_suites build/Asan instrumented
bash scripts/leak-check.sh
