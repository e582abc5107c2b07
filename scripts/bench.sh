#!/usr/bin/env bash
# Builds the release addon and the bare round-trip addon, then runs the
# benchmarks against the simulator.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
ensure_system_packages "npm run bench" "${BUILD_PACKAGES[@]}"
ensure_node_packages --omit=dev
build_runtime bare_roundtrip
export LD_LIBRARY_PATH="$PWD/build/Release/sim"
node --expose-gc bench/answers.js
node --expose-gc bench/peak.js
node bench/roundtrip.js
node bench/requests.js
node bench/tracing.js
