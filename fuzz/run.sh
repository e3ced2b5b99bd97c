#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in their own folder (build-fuzz/)
# and runs them one after the other, each for SECONDS (default 600) or ten
# million executions (FUZZ_RUNS), whichever ends first.
#
#   fuzz/run.sh [SECONDS] [TARGET...]     e.g. fuzz/run.sh 60 pasv_reply
#   FUZZ_RUNS=20000 fuzz/run.sh 30        the short run CI makes
#
# The seeds in fuzz/corpus/<target>/ are only read; what a run learns goes to
# build-fuzz/corpus/<target>/ and is reused by the next run; crashing inputs
# go to build-fuzz/finds/<target>/, the output to build-fuzz/logs/<target>.log.
# Replay one input with: build-fuzz/fuzz/fuzz_<target> FILE
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-600}
[[ $# -gt 0 ]] && shift
max_runs=${FUZZ_RUNS:-10000000}
all=(reply_buffer pasv_reply listing_line listing_model profile_file vftp_url vftp_options socks5_reply netrc settings_value
  trusted_certificates)
targets=("$@")
[[ ${#targets[@]} -eq 0 ]] && targets=("${all[@]}")
build=build-fuzz

# clang and its sanitizer and libFuzzer runtimes.
missing=()
for package in clang libclang-rt-14-dev; do
  [[ $(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true) == "install ok installed" ]] || missing+=("$package")
done
if [[ ${#missing[@]} -gt 0 ]]; then
  as_root=()
  [[ $(id -u) -ne 0 ]] && as_root=(sudo)
  "${as_root[@]}" apt-get update -qq
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVFTP_FUZZ=ON \
  -DVFTP_BUILD_TESTS=OFF -DVFTP_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
ninja -C "$build" -j2 "${targets[@]/#/fuzz_}"

# Leaks of the system libraries the window's model loads are not ours.
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
failed=()
for target in "${targets[@]}"; do
  mkdir -p "$build/corpus/$target" "$build/finds/$target" "$build/logs"
  echo "=== $target: up to $seconds s or $max_runs executions"
  status=0
  "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -runs="$max_runs" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$build/finds/$target/" "$build/corpus/$target" "fuzz/corpus/$target" \
    >"$build/logs/$target.log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/logs/$target.log" | tail -n 1)
  echo "$target: ${runs:-?} executions, exit status $status"
  [[ $status -eq 0 ]] || failed+=("$target")
done
if [[ ${#failed[@]} -gt 0 ]]; then
  echo "finds in: ${failed[*]} (see $build/finds/ and $build/logs/)"
  exit 1
fi
