#!/usr/bin/env bash
# Runs the named suites (test/NN-name.test.js, or just NN-name) against the
# release build, as npm test does, after building it.
# Usage: npm run test:one -- test/42-shares-batch.test.js [more suites...]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
source scripts/suites.sh
[ $# -gt 0 ] || { echo "usage: npm run test:one -- test/NN-name.test.js [...]" >&2; exit 2; }
suites=()
for suite in "$@"; do
  [ -f "$suite" ] || suite="test/${suite%.test.js}.test.js"
  suites+=("$suite")
done
ensure_dependencies "npm run test:one" "${BUILD_PACKAGES[@]}" "${UNIT_PACKAGES[@]}"
build release
run_js_suites build/Release release "${suites[@]}"
