#!/usr/bin/env bash
# Builds one preset (release by default) after installing what it needs.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
ensure_dependencies "npm run build" "${BUILD_PACKAGES[@]}" "${UNIT_PACKAGES[@]}"
build "${1:-release}"
