#!/usr/bin/env bash
# Configures and builds into build/ (or build-asan/ with SANITIZE=1).
set -euo pipefail
cd "$(dirname "$0")/.."
# Progress goes to standard error; standard output names the build folder.
exec 3>&1 1>&2
"$PWD/scripts/install-deps.sh"
build_dir=build
options=()
if [[ "${SANITIZE:-0}" == 1 ]]; then
  build_dir=build-asan
  options+=(-DVFTP_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
fi
cmake -S . -B "$build_dir" -G Ninja "${options[@]}" >/dev/null
cmake --build "$build_dir" -- -j"$(nproc)"
echo "$build_dir" >&3
