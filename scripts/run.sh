#!/usr/bin/env bash
# Builds everything and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=$(scripts/build.sh | tail -n 1)
program="$build_dir/app/velliant-ftp"
if [[ -x "$program" ]]; then
  exec "$program" "$@"
fi
echo "Built everything in $build_dir/. The main window is not part of this version yet;"
echo "the command-line companion is: $build_dir/tools/vftp/vftp --help"
