#!/usr/bin/env bash
# Regenerates the examples and tables of docs/API.md from real runs against
# the simulator (pass --check to compare only).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
# The error tags come from the module's own table, printed by a program of the native units.
ensure_system_packages "npm run docs" "${BUILD_PACKAGES[@]}" "${UNIT_PACKAGES[@]}"
ensure_node_packages --omit=dev
build_runtime cifs_tables_json
LD_LIBRARY_PATH="$PWD/build/Release/sim" exec node scripts/gen-api-docs.js "$@"
