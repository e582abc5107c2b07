#!/usr/bin/env bash
# Builds everything and runs every test: the native units, then the
# JavaScript suites against the release addon, the fuzz targets for a bounded
# time each, and the suites against the instrumented (AddressSanitizer +
# UndefinedBehaviorSanitizer) addon.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
ensure_dependencies

run_js_suites() {
  local build_dir=$PWD/$1 preload
  local log_dir
  log_dir=$(mktemp -d)
  preload="$build_dir/test/libsyslog_capture.so"
  if [ "${2:-}" = instrumented ]; then
    preload="$(asan_runtime) $preload"
    export ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=1:abort_on_error=1"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  fi
  CIFS_BUILD_DIR=$build_dir CIFS_SYSLOG_DIR=$log_dir LD_LIBRARY_PATH="$build_dir/sim" LD_PRELOAD="$preload" \
    node --test --test-concurrency=2 test/*.test.js
  rm -rf "$log_dir"
}

# Each fuzz target runs from its committed seeds for CIFS_FUZZ_SECONDS (30 by
# default); any finding (crash, sanitizer report, leak, broken invariant) fails.
run_fuzz_targets() {
  local seconds=${CIFS_FUZZ_SECONDS:-15} work corpus name
  work=$(mktemp -d)
  for corpus in fuzz/corpus/*/; do
    name=$(basename "$corpus")
    mkdir -p "$work/$name"
    # New inputs go to the scratch directory named first; the seeds stay as committed.
    if ! "build/Fuzz/fuzz/$name" -max_total_time="$seconds" -timeout=10 -artifact_prefix="$work/$name/" \
        "$work/$name" "$corpus" >"$work/$name.log" 2>&1; then
      tail -n 40 "$work/$name.log"
      echo "fuzz target $name: finding, input kept in $work/$name/" >&2
      return 1
    fi
    echo "fuzz target $name: $(grep -E '^Done [0-9]+ runs' "$work/$name.log")"
  done
  rm -rf "$work"
}

build release
ctest --preset release
run_js_suites build/Release

build fuzz
run_fuzz_targets

build asan
ctest --preset asan
run_js_suites build/Asan instrumented
bash scripts/leak-check.sh
