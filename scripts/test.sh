#!/usr/bin/env bash
# Builds everything and runs every test: the native units, then the
# JavaScript suites against the release addon and against the instrumented
# (AddressSanitizer + UndefinedBehaviorSanitizer) addon.
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

build release
ctest --preset release
run_js_suites build/Release

build asan
ctest --preset asan
run_js_suites build/Asan instrumented
