#!/usr/bin/env bash
# Throughput, memory and repaint gaps of transfers through the main window,
# offscreen, side by side with vftp on the same file in the same run:
# vsftpd on loopback serves a file of SIZE_MB (default 1024) MiB; each way
# runs RUNS times (default 3), window and vftp taking turns. Reports median
# wall time, largest peak memory, the window's throughput relative to vftp
# and the longest gap between two repaints of the window (its queue pane and
# status bar show the progress).
#
#   bench/gui-transfer.sh [build-folder]      (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
gui="$PWD/$build/bench/gui_transfer"
vftp="$PWD/$build/tools/vftp/vftp"
size_mb=${SIZE_MB:-1024}
runs=${RUNS:-3}
for tool in "$gui" "$vftp" /usr/sbin/vsftpd /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "missing: $tool (build first; apt-get install vsftpd time)" >&2; exit 1; }
done

work=$(mktemp -d /tmp/vftp-gui-bench.XXXXXX)
chmod 755 "$work"
source bench/servers.sh
trap bench_cleanup EXIT
mkdir -p "$work/root" "$work/local" "$work/home"
bench_start_vsftpd
port=$vsftpd_port

echo "making a ${size_mb} MiB file..." >&2
head -c "$((size_mb * 1024 * 1024))" /dev/urandom > "$work/root/big.bin"
url="ftp://127.0.0.1:$port"

# One timed run: prints "wall peak_kib [paints longest_gap_ms]". The
# window's wall time is its own measure of the transfer, without starting
# the window and connecting.
measure() {
  /usr/bin/time -f '%e %M' -o "$work/time.txt" "$@" >"$work/out.txt" 2>"$work/err.txt" || { cat "$work/err.txt" >&2; exit 1; }
  local own
  own=$(tail -n 1 "$work/out.txt" | awk 'NF == 3 { print $1, $2, $3 }')
  if [[ -n "$own" ]]; then
    awk -v own="$own" '{ split(own, o, " "); print o[1], $2, o[2], o[3] }' "$work/time.txt"
  else
    cat "$work/time.txt"
  fi
}

declare -A results
for _ in $(seq "$runs"); do
  rm -f "$work/local/big.bin"
  results[window-get]+="$(HOME="$work/home" measure "$gui" get "$port" big.bin "$work/local")"$'\n'
  cmp -s "$work/root/big.bin" "$work/local/big.bin" || { echo "window get: copy differs" >&2; exit 1; }
  rm -f "$work/local/big.bin"
  results[vftp-get]+="$(measure "$vftp" -q get "$url/big.bin" "$work/local/big.bin")"$'\n'
  cmp -s "$work/root/big.bin" "$work/local/big.bin" || { echo "vftp get: copy differs" >&2; exit 1; }
  mv "$work/root/big.bin" "$work/source.bin"
  results[window-put]+="$(HOME="$work/home" measure "$gui" put "$port" big.bin "$work/local")"$'\n'
  cmp -s "$work/local/big.bin" "$work/root/big.bin" || { echo "window put: copy differs" >&2; exit 1; }
  rm -f "$work/root/big.bin"
  results[vftp-put]+="$(measure "$vftp" -q put "$work/local/big.bin" "$url/big.bin")"$'\n'
  cmp -s "$work/local/big.bin" "$work/root/big.bin" || { echo "vftp put: copy differs" >&2; exit 1; }
  rm -f "$work/source.bin"
done

median() { sort -n | awk '{ a[NR] = $1 } END { print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }
column_of() { printf '%s' "${results[$1]}" | awk -v c="$2" 'NF >= c { print $c }'; }

printf '\n%s MiB from vsftpd on loopback, %s runs each, medians (memory and gaps: largest)\n' "$size_mb" "$runs"
printf '%-4s %-7s %8s %8s %10s %8s %12s\n' op tool wall_s MiB/s peak_KiB paints longest_gap_ms
for op in get put; do
  for tool in window vftp; do
    wall=$(column_of "$tool-$op" 1 | median); peak=$(column_of "$tool-$op" 2 | sort -n | tail -n 1)
    paints=$(column_of "$tool-$op" 3 | median); gap=$(column_of "$tool-$op" 4 | sort -n | tail -n 1)
    rate=$(awk -v s="$size_mb" -v w="$wall" 'BEGIN { printf "%.0f", (w > 0) ? s / w : 0 }')
    printf '%-4s %-7s %8s %8s %10s %8s %12s\n' "$op" "$tool" "$wall" "$rate" "$peak" "${paints:--}" "${gap:--}"
  done
  awk -v a="$(column_of "window-$op" 1 | median)" -v b="$(column_of "vftp-$op" 1 | median)" \
      'BEGIN { printf "%-4s window throughput / vftp: %.2f\n", "'"$op"'", (a > 0) ? b / a : 0 }'
done
