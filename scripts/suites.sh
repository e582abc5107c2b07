# run_js_suites <build dir> <release|instrumented> [suite file...]: runs the
# node:test suites (all of test/*.test.js when none is named) against one
# build, with its simulator on the library search path and the syslog capture
# preloaded. The runner's usual report goes to stdout; a TAP copy gives the
# counts for the summary line.
run_js_suites() {
  local build_dir=$PWD/$1 mode=$2 preload log_dir status=0 reporter=tap label=suites
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
  [ ! -t 1 ] || reporter=spec
  [ "$mode" = release ] || label="suites $mode"
  CIFS_BUILD_DIR=$build_dir CIFS_SYSLOG_DIR=$log_dir LD_LIBRARY_PATH="$build_dir/sim" LD_PRELOAD="$preload" \
    node --test --test-concurrency=2 --test-reporter="$reporter" --test-reporter-destination=stdout \
    --test-reporter=tap --test-reporter-destination="$log_dir/report.tap" "${suites[@]}" || status=$?
  summary_add "$label $(awk '/^# pass /{pass=$3} /^# tests /{tests=$3} /^# skipped /{skipped=$3}
    END{printf "%d/%d%s", pass, tests, skipped ? " (" skipped " skipped)" : ""}' "$log_dir/report.tap")"
  rm -rf "$log_dir"
  return $status
}
