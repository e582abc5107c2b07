#!/usr/bin/env bash
# Runs the demo against the simulator: built here from this tree (it needs
# cmake and g++, nothing of the tests), or, where neither is installed and
# `npm run prebuild` made them, on the prebuilt files.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
tuple=$(node -p 'process.platform + "-" + process.arch')
if ! package_present cmake || ! package_present g++; then
  if [ -d "prebuilds/$tuple" ] && [ -d "prebuilds-sim/$tuple" ] && [ ! -e build/Release/cifs.node ]; then
    echo "cifs-native: no cmake or g++ here: the demo runs on the prebuilt files of prebuilds/$tuple (as npm run prebuild left them)"
    ensure_node_packages --omit=dev
    exec bin/cifs-sim-run --quiet node scripts/demo.js
  fi
fi
ensure_system_packages "npm start" "${BUILD_PACKAGES[@]}"
ensure_node_packages --omit=dev
build_runtime
exec bin/cifs-sim-run --quiet node scripts/demo.js
