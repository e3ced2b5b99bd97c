#!/usr/bin/env bash
# Crash consistency: SIGKILL at random moments of a download, an upload (vftp
# against pyftpdlib on 127.0.0.1) and a profile save (bench/profile_save),
# RUNS times each (default 100). Checks that a killed download leaves a
# prefix of the file that `vftp -c get` then completes byte for byte, that a
# killed upload leaves a prefix on the server that the next upload replaces
# with the whole file, and that the profile file is always the old or the
# new version, whole. Prints the counts; exits 1 on any failure.
#
#   bench/crash.sh [BUILD-FOLDER]    (default build/)
#   RUNS=100 CRASH_MB=48 PHASES="download upload profile" bench/crash.sh
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${RUNS:-100}
phases=" ${PHASES:-download upload profile} "
vftp=$PWD/$build/tools/vftp/vftp
saver=$PWD/$build/bench/profile_save
for program in "$vftp" "$saver"; do
  [[ -x $program ]] || { echo "missing $program: cmake --build $build --target vftp profile_save" >&2; exit 2; }
done
work=$(mktemp -d)
source bench/servers.sh
trap bench_cleanup EXIT
mkdir -p "$work/root" "$work/local"
head -c $((${CRASH_MB:-48} * 1024 * 1024)) /dev/urandom >"$work/root/big.bin"
cp "$work/root/big.bin" "$work/local/source.bin"
bench_start_pyftpdlib
url="ftp://127.0.0.1:$pyftpdlib_port"
failures=0
fail() {
  failures=$((failures + 1))
  echo "FAILED: $*" >&2
}

# A random moment within the first `span` milliseconds, as "sleep" wants it.
random_delay() { printf '0.%03d' $((RANDOM % $1)); }

# Runs a command and kills it after a random delay (unless it ended first);
# prints "killed" or "ended".
kill_at_random() {
  local span=$1
  shift
  "$@" >/dev/null 2>&1 &
  local pid=$!
  sleep "$(random_delay "$span")"
  if kill -9 "$pid" 2>/dev/null; then echo killed; else echo ended; fi
  wait "$pid" 2>/dev/null || true
}

# The whole download takes this long on this machine; kills land within it.
start=$(date +%s%N)
"$vftp" -q get "$url/big.bin" "$work/local/timing.bin"
span=$(((($(date +%s%N) - start) / 1000000) * 12 / 10))
((span > 999)) && span=999
((span < 50)) && span=50

prefix=0 resumed=0 killed=0
[[ $phases == *" download "* ]] || runs_download=0
for ((i = 1; i <= ${runs_download:-$runs}; i++)); do
  rm -f "$work/local/big.bin"
  [[ $(kill_at_random "$span" "$vftp" -q get "$url/big.bin" "$work/local/big.bin") == killed ]] && killed=$((killed + 1))
  size=$(stat -c %s "$work/local/big.bin" 2>/dev/null || echo 0)
  if cmp -s -n "$size" "$work/local/big.bin" "$work/root/big.bin" 2>/dev/null || [[ $size -eq 0 ]]; then
    prefix=$((prefix + 1))
  else
    fail "download $i: the killed download left $size bytes that are no prefix"
  fi
  if "$vftp" -q -c get "$url/big.bin" "$work/local/big.bin" 2>"$work/err" && cmp -s "$work/local/big.bin" "$work/root/big.bin"; then
    resumed=$((resumed + 1))
  else
    fail "download $i: resuming from $size bytes gave no exact copy: $(head -c 200 "$work/err")"
  fi
done
echo "download: ${runs_download:-$runs} runs, $killed killed while running, $prefix left a prefix, $resumed resumed to an exact copy"

uprefix=0 replaced=0 killed=0
[[ $phases == *" upload "* ]] || runs_upload=0
for ((i = 1; i <= ${runs_upload:-$runs}; i++)); do
  rm -f "$work/root/source.bin"
  [[ $(kill_at_random "$span" "$vftp" -q put "$work/local/source.bin" "$url/") == killed ]] && killed=$((killed + 1))
  sleep 0.05  # the server finishes writing what it got
  size=$(stat -c %s "$work/root/source.bin" 2>/dev/null || echo 0)
  if [[ $size -eq 0 ]] || cmp -s -n "$size" "$work/root/source.bin" "$work/local/source.bin"; then
    uprefix=$((uprefix + 1))
  else
    fail "upload $i: the server holds $size bytes that are no prefix"
  fi
  if "$vftp" -q put "$work/local/source.bin" "$url/" 2>"$work/err" && cmp -s "$work/root/source.bin" "$work/local/source.bin"; then
    replaced=$((replaced + 1))
  else
    fail "upload $i: the next upload gave no exact copy: $(head -c 200 "$work/err")"
  fi
done
echo "upload: ${runs_upload:-$runs} runs, $killed killed while running, $uprefix left a prefix, $replaced uploaded again exactly"

"$saver" "$work/a.ini" write-a
old=0 new=0 killed=0
[[ $phases == *" profile "* ]] || runs_profile=0
for ((i = 1; i <= ${runs_profile:-$runs}; i++)); do
  rm -rf "$work/profiles"
  mkdir "$work/profiles"
  cp "$work/a.ini" "$work/profiles/FTPServers.ini"
  [[ $(kill_at_random 200 "$saver" "$work/profiles/FTPServers.ini" loop) == killed ]] && killed=$((killed + 1))
  case $("$saver" "$work/profiles/FTPServers.ini" check) in
    old) old=$((old + 1)) ;;
    new) new=$((new + 1)) ;;
    *) fail "profile save $i: the file is neither version" ;;
  esac
done
echo "profile save: ${runs_profile:-$runs} runs, $killed killed while saving, $old the old version, $new the new, $((${runs_profile:-$runs} - old - new)) broken"
echo "failures: $failures"
[[ $failures -eq 0 ]]
