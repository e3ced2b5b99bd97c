#!/usr/bin/env bash
# vftp against the command-line FTP clients a user would pick instead (curl,
# lftp, ncftp), in one run, against two servers on loopback (vsftpd and
# pyftpdlib): a download of SIZE_MB MiB (default 1024) to a file, its upload,
# and a LIST of ENTRIES entries (default 10000). Each round runs every tool
# once per server and operation, starting with a different tool each round;
# RUNS rounds (default 5). Every copy is checked byte for byte and every
# listing for its entries. Reports the medians of wall time, CPU time (user +
# system) and peak memory (largest resident set), and each tool's ratio to
# vftp. Then vftp's peak memory for a 1 MiB and a 3 GiB file (MEMORY=0 skips).
#
#   bench/transfer.sh [build-folder]       (default: build)
#
#   VFTP_BEFORE=path/to/vftp  adds an older vftp as "vftp-before"
#   TOOLS="vftp curl"         a subset of the tools
#   WORK_DIR=/dev/shm         where the files go (default /tmp: a disk)
#
# Debian packages: vsftpd python3-pyftpdlib curl lftp ncftp time. Timings
# belong to the machine they ran on: compare tools within one run.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
vftp="$PWD/$build/tools/vftp/vftp"
size_mb=${SIZE_MB:-1024}
runs=${RUNS:-5}
entries=${ENTRIES:-10000}
read -r -a tools <<<"${TOOLS:-vftp curl lftp ncftp}"
[[ -n "${VFTP_BEFORE:-}" ]] && tools+=(vftp-before)

missing=()
for command in "$vftp" /usr/sbin/vsftpd /usr/bin/python3 curl lftp ncftpget ncftpput ncftpls /usr/bin/time; do
  command -v "$command" >/dev/null || missing+=("$command")
done
/usr/bin/python3 -c 'import pyftpdlib' 2>/dev/null || missing+=(pyftpdlib)
if [[ ${#missing[@]} -gt 0 ]]; then
  echo "missing: ${missing[*]}" >&2
  echo "build first, and: apt-get install vsftpd python3-pyftpdlib curl lftp ncftp time" >&2
  exit 1
fi

work=$(mktemp -d "${WORK_DIR:-/tmp}/vftp-bench.XXXXXX")
chmod 755 "$work"
source bench/servers.sh
trap bench_cleanup EXIT
mkdir -p "$work/root/many" "$work/local/get"
results="$work/results.txt"

echo "making a ${size_mb} MiB file and ${entries} entries..." >&2
head -c "$((size_mb * 1024 * 1024))" /dev/urandom >"$work/root/big.bin"
cp "$work/root/big.bin" "$work/local/up.bin"
(cd "$work/root/many" && seq -f "page-%05g.html" "$entries" | xargs touch)
bench_start_vsftpd
bench_start_pyftpdlib

# The command line of one tool for one operation against the server on
# `port`, into the array `cmd`; a listing goes to "$work/list.txt".
command_for() {
  local tool=$1 op=$2 port=$3 url="ftp://127.0.0.1:$3"
  local lftp_open="set ftp:ssl-allow no; set xfer:clobber yes; open -u anonymous,bench -p $port 127.0.0.1"
  local binary=$vftp
  [[ $tool == vftp-before ]] && binary=$VFTP_BEFORE
  case "$tool/$op" in
    vftp*/get) cmd=("$binary" -q get "$url/big.bin" "$work/local/get/big.bin") ;;
    vftp*/put) cmd=("$binary" -q put "$work/local/up.bin" "$url/up.bin") ;;
    vftp*/list) cmd=("$binary" ls "$url/many/") ;;
    curl/get) cmd=(curl -s -o "$work/local/get/big.bin" "$url/big.bin") ;;
    curl/put) cmd=(curl -s -T "$work/local/up.bin" "$url/up.bin") ;;
    curl/list) cmd=(curl -s "$url/many/") ;;
    lftp/get) cmd=(lftp -c "$lftp_open; get big.bin -o $work/local/get/big.bin") ;;
    lftp/put) cmd=(lftp -c "$lftp_open; put $work/local/up.bin -o up.bin") ;;
    lftp/list) cmd=(lftp -c "$lftp_open; ls many/") ;;
    ncftp/get) cmd=(ncftpget -V -P "$port" 127.0.0.1 "$work/local/get" big.bin) ;;
    ncftp/put) cmd=(ncftpput -V -P "$port" 127.0.0.1 . "$work/local/up.bin") ;;
    ncftp/list) cmd=(ncftpls -l -P "$port" "$url/many/") ;;
    *) echo "unknown tool $tool" >&2; exit 1 ;;
  esac
}

# Runs one measurement and appends "tool op server wall cpu peak_kib".
measure() {
  local tool=$1 op=$2 server=$3 port=$4
  command_for "$tool" "$op" "$port"
  rm -f "$work/local/get/big.bin" "$work/root/up.bin"
  # Each run starts without dirty pages from the one before.
  sync
  local start end
  start=$(date +%s%N)
  /usr/bin/time -f '%U %S %M' -o "$work/time.txt" "${cmd[@]}" >"$work/list.txt" 2>"$work/err.txt" || {
    echo "$tool $op against $server failed:" >&2
    cat "$work/err.txt" >&2
    exit 1
  }
  end=$(date +%s%N)
  case $op in
    get) cmp -s "$work/root/big.bin" "$work/local/get/big.bin" || { echo "$tool get from $server: copy differs" >&2; exit 1; } ;;
    put) cmp -s "$work/local/up.bin" "$work/root/up.bin" || { echo "$tool put to $server: copy differs" >&2; exit 1; } ;;
    list)
      [[ $(grep -c 'page-' "$work/list.txt") -eq $entries ]] || { echo "$tool list from $server: entries missing" >&2; exit 1; } ;;
  esac
  awk -v t="$tool" -v o="$op" -v s="$server" -v w="$(((end - start) / 1000000))" \
    '{ printf "%s %s %s %.3f %.2f %s\n", t, o, s, w / 1000, $1 + $2, $3 }' "$work/time.txt" >>"$results"
}

for run in $(seq "$runs"); do
  echo "round $run of $runs..." >&2
  # A different tool goes first in each round.
  shift_by=$(((run - 1) % ${#tools[@]}))
  order=("${tools[@]:shift_by}" "${tools[@]:0:shift_by}")
  for server in vsftpd pyftpdlib; do
    port=$vsftpd_port
    [[ $server == pyftpdlib ]] && port=$pyftpdlib_port
    for op in get put list; do
      for tool in "${order[@]}"; do measure "$tool" "$op" "$server" "$port"; done
    done
  done
done

echo
echo "$(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg), $(date -u '+%Y-%m-%d %H:%M UTC'), $(uname -r)"
echo "${size_mb} MiB file, ${entries}-entry LIST, medians of $runs rounds: RUNS=$runs SIZE_MB=$size_mb ENTRIES=$entries TOOLS=\"${tools[*]}\" bench/transfer.sh"
/usr/bin/python3 - "$results" "$size_mb" <<'PY'
import collections, statistics, sys
rows = collections.defaultdict(list)
for line in open(sys.argv[1]):
    tool, op, server, wall, cpu, peak = line.split()
    rows[(op, server, tool)].append((float(wall), float(cpu), int(peak)))
size_mb = float(sys.argv[2])
names = {"get": "download to a file", "put": "upload", "list": "LIST"}
tools = list(dict.fromkeys(k[2] for k in rows))
for op in ("get", "put", "list"):
    print(f"\n{names[op]}\n")
    print("| server | tool | wall s | MiB/s | CPU s | peak KiB | wall / vftp | CPU / vftp | peak / vftp |")
    print("|---|---|---:|---:|---:|---:|---:|---:|---:|")
    for server in ("vsftpd", "pyftpdlib"):
        med = {t: [statistics.median(r[i] for r in rows[(op, server, t)]) for i in range(3)] for t in tools}
        base = med.get("vftp")
        for t in tools:
            wall, cpu, peak = med[t]
            rate = f"{size_mb / wall:.0f}" if op != "list" and wall > 0 else ""
            ratio = lambda i: f"{med[t][i] / base[i]:.2f}" if base and base[i] > 0 else ""
            print(f"| {server} | {t} | {wall:.3f} | {rate} | {cpu:.2f} | {peak:.0f} | {ratio(0)} | {ratio(1)} | {ratio(2)} |")
PY

[[ "${MEMORY:-1}" == 0 ]] && exit 0
# Peak memory of vftp at both ends of the size range: 1 MiB and 3 GiB (the
# large file is sparse, so making it costs nothing).
echo
echo "vftp peak memory (KiB), medians of 3, by file size"
echo
echo "| server | op | 1 MiB | 3 GiB |"
echo "|---|---|---:|---:|"
head -c $((1 << 20)) /dev/urandom >"$work/root/small.bin"
truncate -s 3G "$work/root/huge.bin"
for server in vsftpd pyftpdlib; do
  port=$vsftpd_port
  [[ $server == pyftpdlib ]] && port=$pyftpdlib_port
  for op in get put; do
    line="| $server | $op |"
    for file in small.bin huge.bin; do
      peaks=()
      for _ in 1 2 3; do
        rm -f "$work/local/get/$file" "$work/root/up-$file"
        if [[ $op == get ]]; then
          /usr/bin/time -f '%M' -o "$work/time.txt" "$vftp" -q get "ftp://127.0.0.1:$port/$file" "$work/local/get/$file"
        else
          /usr/bin/time -f '%M' -o "$work/time.txt" "$vftp" -q put "$work/root/$file" "ftp://127.0.0.1:$port/up-$file"
        fi
        peaks+=("$(cat "$work/time.txt")")
      done
      line+=" $(printf '%s\n' "${peaks[@]}" | sort -n | sed -n 2p) |"
    done
    echo "$line"
  done
done
