# Shared steps of the npm scripts: install what the build needs, build a
# preset, and run node with the bundled simulator on the library search path.

# Debian packages the build needs; installed only when missing (needs root).
ensure_system_packages() {
  local missing=()
  command -v cmake >/dev/null 2>&1 || missing+=(cmake)
  command -v g++ >/dev/null 2>&1 || missing+=(g++)
  [ -f /usr/include/gtest/gtest.h ] || missing+=(libgtest-dev)
  # The fuzz targets: clang 14 and its libFuzzer and sanitizer runtimes.
  command -v clang++-14 >/dev/null 2>&1 || missing+=(clang)
  dpkg-query -W -f='${Status}' libclang-rt-14-dev 2>/dev/null | grep -q 'ok installed' || missing+=(libclang-rt-14-dev)
  # The leak pass (scripts/leak-check.sh).
  command -v valgrind >/dev/null 2>&1 || missing+=(valgrind)
  if [ ${#missing[@]} -gt 0 ]; then
    echo "installing ${missing[*]}"
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
  fi
}

# npm packages (the Node-API headers, TypeScript for the type test, fast-check
# for the property suite).
ensure_node_packages() {
  if [ ! -f node_modules/node-api-headers/include/node_api.h ] || [ ! -f node_modules/typescript/bin/tsc ] ||
    [ ! -f node_modules/fast-check/package.json ]; then
    npm ci --no-audit --no-fund --loglevel=error
  fi
}

ensure_dependencies() {
  ensure_system_packages
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

# phase <text>: announces a step of a long run.
phase() {
  printf '\n==== %s ====\n' "$*"
}

# The sanitizer runtime must be the first library of an uninstrumented node.
asan_runtime() {
  g++ -print-file-name=libasan.so
}
