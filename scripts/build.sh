#!/usr/bin/env bash
# Builds one preset (release by default) after installing what it needs.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
ensure_dependencies
build "${1:-release}"
