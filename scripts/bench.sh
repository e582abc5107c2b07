#!/usr/bin/env bash
# Builds the release addon and runs the benchmarks against the simulator.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
ensure_dependencies
build release
LD_LIBRARY_PATH="$PWD/build/Release/sim" exec node bench/requests.js
