#!/usr/bin/env bash
# Throughput and memory of vftp against curl on the same transfers: vsftpd on
# loopback serves a file of SIZE_MB (default 1024) MiB; each tool downloads and
# uploads it RUNS times (default 5), alternating tool by tool. Reports the
# median wall time, median CPU time (user + system), the largest peak memory
# and the vftp/curl ratios.
#
#   bench/transfer.sh [build-folder]      (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
vftp="$PWD/$build/tools/vftp/vftp"
size_mb=${SIZE_MB:-1024}
runs=${RUNS:-5}
for tool in "$vftp" /usr/sbin/vsftpd curl /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "missing: $tool (build first; apt-get install vsftpd curl time)" >&2; exit 1; }
done

work=$(mktemp -d /tmp/vftp-bench.XXXXXX)
chmod 755 "$work"
server_pid=
cleanup() { [[ -n "$server_pid" ]] && kill "$server_pid" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT

port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
mkdir -p "$work/root" "$work/empty" "$work/local"
cat > "$work/vsftpd.conf" <<CONF
listen=YES
listen_ipv6=NO
listen_address=127.0.0.1
listen_port=$port
background=NO
run_as_launching_user=YES
seccomp_sandbox=NO
secure_chroot_dir=$work/empty
anonymous_enable=YES
no_anon_password=YES
local_enable=NO
anon_root=$work/root
allow_writeable_chroot=YES
write_enable=YES
anon_upload_enable=YES
anon_other_write_enable=YES
anon_world_readable_only=NO
pasv_enable=YES
pasv_address=127.0.0.1
pasv_min_port=40000
pasv_max_port=40100
xferlog_enable=NO
CONF
/usr/sbin/vsftpd "$work/vsftpd.conf" &
server_pid=$!
for _ in $(seq 50); do (echo > "/dev/tcp/127.0.0.1/$port") 2>/dev/null && break; sleep 0.1; done

echo "making a ${size_mb} MiB file..." >&2
head -c "$((size_mb * 1024 * 1024))" /dev/urandom > "$work/root/big.bin"
cp "$work/root/big.bin" "$work/local/big.bin"
url="ftp://127.0.0.1:$port"

# One timed run: prints "wall cpu peak_kib".
measure() {
  /usr/bin/time -f '%e %U %S %M' -o "$work/time.txt" "$@" >/dev/null 2>"$work/err.txt" || { cat "$work/err.txt" >&2; exit 1; }
  awk '{ printf "%s %.2f %s\n", $1, $2 + $3, $4 }' "$work/time.txt"
}

declare -A results
for run in $(seq "$runs"); do
  for tool in vftp curl; do
    rm -f "$work/local/down.bin" "$work/root/up.bin"
    if [[ $tool == vftp ]]; then
      get=("$vftp" -q get "$url/big.bin" "$work/local/down.bin")
      put=("$vftp" -q put "$work/local/big.bin" "$url/up.bin")
    else
      get=(curl -s -o "$work/local/down.bin" "$url/big.bin")
      put=(curl -s -T "$work/local/big.bin" "$url/up.bin")
    fi
    results[$tool-get]+="$(measure "${get[@]}")"$'\n'
    cmp -s "$work/root/big.bin" "$work/local/down.bin" || { echo "$tool get: copy differs" >&2; exit 1; }
    results[$tool-put]+="$(measure "${put[@]}")"$'\n'
    cmp -s "$work/local/big.bin" "$work/root/up.bin" || { echo "$tool put: copy differs" >&2; exit 1; }
  done
done

# median of column $1 (1 wall, 2 cpu), max of column 3 (peak memory)
median() { sort -n | awk '{ a[NR] = $1 } END { print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }
stat_of() { printf '%s' "${results[$1]}" | awk -v c="$2" 'NF { print $c }' | median; }
peak_of() { printf '%s' "${results[$1]}" | awk 'NF { print $3 }' | sort -n | tail -n 1; }

printf '\n%s MiB over loopback, %s runs each, medians (peak memory: largest)\n' "$size_mb" "$runs"
printf '%-5s %-5s %10s %10s %12s %8s\n' op tool wall_s cpu_s peak_KiB MiB/s
for op in get put; do
  for tool in vftp curl; do
    wall=$(stat_of "$tool-$op" 1); cpu=$(stat_of "$tool-$op" 2); peak=$(peak_of "$tool-$op")
    rate=$(awk -v s="$size_mb" -v w="$wall" 'BEGIN { printf "%.0f", (w > 0) ? s / w : 0 }')
    printf '%-5s %-5s %10s %10s %12s %8s\n' "$op" "$tool" "$wall" "$cpu" "$peak" "$rate"
  done
  awk -v a="$(stat_of "vftp-$op" 1)" -v b="$(stat_of "curl-$op" 1)" -v c="$(stat_of "vftp-$op" 2)" -v d="$(stat_of "curl-$op" 2)" \
      -v e="$(peak_of "vftp-$op")" -v f="$(peak_of "curl-$op")" \
      'BEGIN { printf "%-5s vftp/curl  wall %.2f  cpu %.2f  peak memory %.2f\n", "'"$op"'", a / b, (d > 0) ? c / d : 0, e / f }'
done
