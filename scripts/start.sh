#!/usr/bin/env bash
# Builds the addon and the simulator's libraries (no test binaries), then
# runs the demo against the simulator.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
ensure_dependencies
build release "${RUNTIME_TARGETS[@]}"
LD_LIBRARY_PATH="$PWD/build/Release/sim" exec node scripts/demo.js
