#!/usr/bin/env bash
# Regenerates the examples and tables of docs/API.md from real runs against
# the simulator (pass --check to compare only).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
ensure_dependencies
build release "${RUNTIME_TARGETS[@]}" cifs_tables_json
LD_LIBRARY_PATH="$PWD/build/Release/sim" exec node scripts/gen-api-docs.js "$@"
