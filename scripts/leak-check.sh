#!/usr/bin/env bash
# Leak pass: test/support/leak-driver.js runs every operation on its success
# path and its failure paths, (1) under valgrind memcheck against the release
# build, where any memory error or definite leak fails the run except Node's
# own (test/support/node-own-leaks.supp), and (2) under LeakSanitizer against
# the instrumented build when it is there. The driver itself fails when a
# shared memory object is left behind. Both builds must exist.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

phase "leak pass (valgrind memcheck, release; LeakSanitizer, instrumented)"
log_dir=$(mktemp -d)
trap 'rm -rf "$log_dir"' EXIT

# run_driver <build dir> <preload> <command prefix...>
run_driver() {
  local build_dir=$PWD/$1 preload=$2
  shift 2
  CIFS_BUILD_DIR=$build_dir CIFS_SYSLOG_DIR=$log_dir LD_LIBRARY_PATH="$build_dir/sim" \
    LD_PRELOAD="$preload $build_dir/test/libsyslog_capture.so" "$@" node test/support/leak-driver.js
}

report=$log_dir/memcheck.log
driver_out=$log_dir/driver.out
if ! run_driver build/Release "" valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite \
    --errors-for-leak-kinds=definite --undef-value-errors=no --num-callers=40 \
    --suppressions=test/support/node-own-leaks.supp --error-exitcode=99 --log-file="$report" | tee "$driver_out"; then
  grep -A40 -E 'definitely lost in|Invalid (read|write|free)|Mismatched' "$report" | head -n 200 || true
  echo "leak check: valgrind memcheck found errors or definite leaks (release build)" >&2
  summary_add "leak pass: valgrind memcheck found errors or definite leaks"
  exit 1
fi
checked=$(awk '/^leak driver: [0-9]+ answers/ {print $3}' "$driver_out")
runs="valgrind memcheck"
echo "leak check (valgrind memcheck, release): $(grep -E 'definitely lost:' "$report" | sed 's/^==[0-9]*== *//')"

if [ -f build/Asan/cifs.node ]; then
  if ! ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=1:abort_on_error=1" \
      UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" run_driver build/Asan "$(asan_runtime)"; then
    summary_add "leak pass: LeakSanitizer found leaks"
    exit 1
  fi
  echo "leak check (LeakSanitizer, instrumented): clean"
  runs+=", LeakSanitizer"
fi
summary_add "leak pass ${checked:-?} answers clean ($runs)"
