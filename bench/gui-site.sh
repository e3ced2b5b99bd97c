#!/usr/bin/env bash
# A site of many small files through the main window's transfer queue,
# offscreen, side by side with vftp mirror in the same run: FILES files
# (default 2000) of 1-50 KiB in FOLDERS folders (default 40), the tree of
# bench/site.sh, against vsftpd on loopback, with PARALLEL (default 4)
# transfers at a time. Each way runs RUNS times (default 3), window and
# vftp taking turns; every copy is compared with diff -r. Reports median
# wall time and files per second, the window's files per second relative
# to vftp's, and the longest gap between two key presses the window
# handled while it worked (one is posted every 5 ms).
#
#   bench/gui-site.sh [build-folder]      (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
gui="$PWD/$build/bench/gui_site"
vftp="$PWD/$build/tools/vftp/vftp"
files=${FILES:-2000}
folders=${FOLDERS:-40}
runs=${RUNS:-3}
parallel=${PARALLEL:-4}
for tool in "$gui" "$vftp" /usr/sbin/vsftpd; do
  command -v "$tool" >/dev/null || { echo "missing: $tool (build first; apt-get install vsftpd)" >&2; exit 1; }
done

work=$(mktemp -d /tmp/vftp-gui-site.XXXXXX)
chmod 755 "$work"
source bench/servers.sh
trap bench_cleanup EXIT
mkdir -p "$work/root" "$work/local" "$work/home"
# Anonymous uploads that make folders, as bench/site.sh runs vsftpd.
vsftpd_extra="anon_mkdir_write_enable=YES
anon_umask=022
max_per_ip=0
max_clients=0"
bench_start_vsftpd
port=$vsftpd_port
url="ftp://127.0.0.1:$port"

bench_make_site "$work/local/site" "$files" "$folders"

seconds() { local start=$1; awk -v s="$start" -v e="$(date +%s.%N)" 'BEGIN { printf "%.3f", e - s }'; }
same() { diff -r "$1" "$2" >/dev/null || { echo "DIFFERENT: $1 $2" >&2; exit 1; }; }

declare -A results
for _ in $(seq "$runs"); do
  rm -rf "$work/root/site" "$work/root/up-vftp" "$work/down"
  mkdir -p "$work/down"
  results[window-put]+="$(HOME="$work/home" "$gui" put "$port" site "$work/local" "$parallel")"$'\n'
  same "$work/local/site" "$work/root/site"
  start=$(date +%s.%N)
  "$vftp" -q mirror -R --parallel "$parallel" "$work/local/site" "$url/up-vftp"
  results[vftp-put]+="$(seconds "$start")"$'\n'
  same "$work/local/site" "$work/root/up-vftp"
  results[window-get]+="$(HOME="$work/home" "$gui" get "$port" site "$work/down" "$parallel")"$'\n'
  same "$work/root/site" "$work/down/site"
  start=$(date +%s.%N)
  "$vftp" -q mirror --parallel "$parallel" "$url/site" "$work/down/vftp"
  results[vftp-get]+="$(seconds "$start")"$'\n'
  same "$work/root/site" "$work/down/vftp"
done

median() { sort -n | awk '{ a[NR] = $1 } END { print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }
column_of() { printf '%s' "${results[$1]}" | awk -v c="$2" 'NF >= c { print $c }'; }

printf '\n%s files in %s folders, vsftpd on loopback, %s at a time, %s runs each, medians (gap: largest)\n' \
  "$files" "$folders" "$parallel" "$runs"
printf '%-4s %-7s %8s %8s %14s\n' op tool wall_s files/s longest_gap_ms
for op in put get; do
  for tool in window vftp; do
    wall=$(column_of "$tool-$op" 1 | median)
    gap=$(column_of "$tool-$op" 3 | sort -n | tail -n 1)
    rate=$(awk -v f="$files" -v w="$wall" 'BEGIN { printf "%.0f", (w > 0) ? f / w : 0 }')
    printf '%-4s %-7s %8s %8s %14s\n' "$op" "$tool" "$wall" "$rate" "${gap:--}"
  done
  awk -v a="$(column_of "window-$op" 1 | median)" -v b="$(column_of "vftp-$op" 1 | median)" \
      'BEGIN { printf "%-4s window files/s / vftp: %.2f\n", "'"$op"'", (a > 0) ? b / a : 0 }'
done
