#!/usr/bin/env bash
# Builds everything and runs the whole test suite (SANITIZE=1: under
# AddressSanitizer and UndefinedBehaviorSanitizer).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=$(scripts/build.sh | tail -n 1)
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build_dir" --output-on-failure -j2 --timeout 300 "$@"
