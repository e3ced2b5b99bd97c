#!/usr/bin/env bash
# Builds the two programs (no tests, no benchmarks) into build-run/ and starts
# the window; its arguments go to the program (velliant-ftp --help).
# Installs only what building and running needs (install-deps.sh --build).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --build
# A folder of its own: the test build (build/) keeps its own options, and
# neither reconfigures the other.
build_dir=build-run
if [[ ! -f $build_dir/CMakeCache.txt ]]; then
  cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVFTP_BUILD_TESTS=OFF -DVFTP_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$build_dir" --target velliant-ftp vftp -- -j"$(nproc)"
exec "$build_dir/app/velliant-ftp" "$@"
