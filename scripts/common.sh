# Shared steps of the npm scripts: install what a script needs, build a
# preset, and run node with the bundled simulator on the library search path.

# Debian packages, by what needs them: any build; the native units (the
# release preset builds them); the fuzz targets (clang 14 with its libFuzzer
# and sanitizer runtimes); the leak pass (scripts/leak-check.sh).
BUILD_PACKAGES=(cmake g++)
UNIT_PACKAGES=(libgtest-dev)
FUZZ_PACKAGES=(clang libclang-rt-14-dev)
LEAK_PACKAGES=(valgrind)

# package_present <Debian package>: whether what the package brings is here.
package_present() {
  case "$1" in
    cmake | g++ | valgrind) command -v "$1" ;;
    libgtest-dev) [ -f /usr/include/gtest/gtest.h ] ;;
    clang) command -v clang++-14 ;;
    *) dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'ok installed' ;;
  esac >/dev/null 2>&1
}

# ensure_system_packages <what for> <package>...: installs the missing ones
# with apt-get, saying which; without root (or apt-get) it prints the command
# that would install them and stops.
ensure_system_packages() {
  local purpose=$1 package missing=()
  shift
  for package in "$@"; do
    package_present "$package" || missing+=("$package")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  if [ "$(id -u)" -ne 0 ] || ! command -v apt-get >/dev/null 2>&1; then
    echo "cifs-native: $purpose needs the Debian packages ${missing[*]}, which are missing. Install them and run it again:" >&2
    echo "  sudo apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
  echo "cifs-native: $purpose: installing the Debian packages ${missing[*]} (apt-get)"
  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
}

# ensure_node_packages [--omit=dev]: the npm packages (the Node-API headers
# and the addon loader; for the tests also TypeScript, for the type test, and
# fast-check, for the property suite).
ensure_node_packages() {
  local needed=(node-api-headers/include/node_api.h node-gyp-build/index.js) file
  [ "${1:-}" = --omit=dev ] || needed+=(typescript/bin/tsc fast-check/package.json)
  for file in "${needed[@]}"; do
    if [ ! -f "node_modules/$file" ]; then
      npm ci --no-audit --no-fund --loglevel=error "$@"
      return
    fi
  done
}

# ensure_dependencies <what for> <package>...: the Debian packages named and
# every npm package.
ensure_dependencies() {
  ensure_system_packages "$@"
  ensure_node_packages
}

# build <preset> [target...]: configure and build (every target when none is
# named) on all cores; the tree lands in build/<Release|Asan|Fuzz>.
build() {
  local preset=$1
  shift
  cmake --preset "$preset" >/dev/null
  local targets=()
  [ $# -eq 0 ] || targets=(--target "$@")
  cmake --build --preset "$preset" -j "$(nproc)" "${targets[@]}"
}

# What running the module against the simulator needs (no test binaries).
RUNTIME_TARGETS=(cifs_node toral cifsmgmtclient simctl syslog_stderr)

# build_runtime [target...]: the release tree's runtime targets (and any
# named). Configuring the native units needs GoogleTest: without it they are
# left out, until a full release build (which installs it) puts them back.
build_runtime() {
  local units=()
  package_present libgtest-dev || units=(-DCIFS_BUILD_TESTS=OFF)
  cmake --preset release "${units[@]}" >/dev/null
  cmake --build --preset release -j "$(nproc)" --target "${RUNTIME_TARGETS[@]}" "$@"
}

# phase <text>: announces a step of a long run.
phase() {
  printf '\n==== %s ====\n' "$*"
}

# The counts of each phase, for the one summary line a run ends with. Each
# phase adds "<phase> <counts>" to the file CIFS_SUMMARY names; it is
# exported, so scripts/leak-check.sh adds to the same file. Without it (a
# script run on its own) nothing is collected.
summary_add() {
  [ -n "${CIFS_SUMMARY:-}" ] || return 0
  printf '%s\n' "$*" >>"$CIFS_SUMMARY"
}

# summary_start: collect from here on, and print the summary line when the
# script exits, also after a failing phase (whose counts then show it).
summary_start() {
  CIFS_SUMMARY=$(mktemp)
  export CIFS_SUMMARY
  trap summary_print EXIT
}

summary_print() {
  local status=$? parts=() joined
  mapfile -t parts <"$CIFS_SUMMARY"
  rm -f "$CIFS_SUMMARY"
  if [ ${#parts[@]} -gt 0 ]; then
    joined=$(printf '%s, ' "${parts[@]}")
    phase "summary: ${joined%, }"
  fi
  return $status
}

# run_units <preset> <label>: the GoogleTest units of one build, counting
# their cases from the reports each binary writes.
run_units() {
  local preset=$1 label=$2 reports status=0
  reports=$(mktemp -d)
  GTEST_OUTPUT="json:$reports/" ctest --preset "$preset" || status=$?
  summary_add "$label $(node -e '
    const fs = require("node:fs");
    let tests = 0, failed = 0;
    for (const name of fs.readdirSync(process.argv[1])) {
      const report = JSON.parse(fs.readFileSync(`${process.argv[1]}/${name}`, "utf8"));
      tests += report.tests;
      failed += report.failures + report.errors;
    }
    console.log(`${tests - failed}/${tests}`);' "$reports")$([ $status -eq 0 ] || echo ' (ctest failed)')"
  rm -rf "$reports"
  return $status
}

# The sanitizer runtime must be the first library of an uninstrumented node.
asan_runtime() {
  g++ -print-file-name=libasan.so
}
