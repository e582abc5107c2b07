#!/usr/bin/env bash
# Builds the addon and the simulator's libraries (no test binaries, so
# cmake and g++ are all it needs), then runs the demo against the simulator.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
ensure_system_packages "npm start" "${BUILD_PACKAGES[@]}"
ensure_node_packages --omit=dev
build_runtime
exec bin/cifs-sim-run --quiet node scripts/demo.js
