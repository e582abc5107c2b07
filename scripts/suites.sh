# run_js_suites <build dir> <release|instrumented> [suite file...]: runs the
# node:test suites (all of test/*.test.js when none is named) against one
# build, with its simulator on the library search path and the syslog capture
# preloaded.
run_js_suites() {
  local build_dir=$PWD/$1 mode=$2 preload log_dir status=0
  shift 2
  log_dir=$(mktemp -d)
  preload="$build_dir/test/libsyslog_capture.so"
  if [ "$mode" = instrumented ]; then
    preload="$(asan_runtime) $preload"
    export ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=1:abort_on_error=1"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  fi
  local suites=("$@")
  [ ${#suites[@]} -gt 0 ] || suites=(test/*.test.js)
  CIFS_BUILD_DIR=$build_dir CIFS_SYSLOG_DIR=$log_dir LD_LIBRARY_PATH="$build_dir/sim" LD_PRELOAD="$preload" \
    node --test --test-concurrency=2 "${suites[@]}" || status=$?
  rm -rf "$log_dir"
  return $status
}
