#!/usr/bin/env bash
# System calls of vftp per transfer, counted with strace -c -f: a download
# and an upload of SIZE_MB MiB (default 1024) against vsftpd and pyftpdlib
# on loopback. VFTP_BEFORE=path/to/vftp counts an older vftp as well.
#
#   bench/syscalls.sh [build-folder]       (default: build)
#
# Debian packages: strace vsftpd python3-pyftpdlib.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
size_mb=${SIZE_MB:-1024}
binaries=("$PWD/$build/tools/vftp/vftp")
[[ -n "${VFTP_BEFORE:-}" ]] && binaries+=("$VFTP_BEFORE")
for command in "${binaries[@]}" strace /usr/sbin/vsftpd /usr/bin/python3; do
  command -v "$command" >/dev/null || { echo "missing: $command (apt-get install strace vsftpd python3-pyftpdlib)" >&2; exit 1; }
done

work=$(mktemp -d "${WORK_DIR:-/tmp}/vftp-syscalls.XXXXXX")
chmod 755 "$work"
source bench/servers.sh
trap bench_cleanup EXIT
mkdir -p "$work/root" "$work/local"
head -c "$((size_mb * 1024 * 1024))" /dev/urandom >"$work/root/big.bin"
cp "$work/root/big.bin" "$work/local/up.bin"
bench_start_vsftpd
bench_start_pyftpdlib

# Prints "calls syscall" for the busiest calls, then the total.
count() {
  strace -c -f -o "$work/strace.txt" "$@" >/dev/null
  awk '$NF != "syscall" && $NF != "total" && $4 ~ /^[0-9]+$/ { print $4, $NF }
       $NF == "total" { total = $4 } END { print total, "total" }' "$work/strace.txt" |
    sort -rn | head -n 9
}

echo "$(nproc) cores, $(date -u '+%Y-%m-%d %H:%M UTC'), $(uname -r); system calls per ${size_mb} MiB transfer"
for binary in "${binaries[@]}"; do
  for server in vsftpd pyftpdlib; do
    port=$vsftpd_port
    [[ $server == pyftpdlib ]] && port=$pyftpdlib_port
    rm -f "$work/local/down.bin" "$work/root/up.bin"
    echo
    echo "$binary get from $server:"
    count "$binary" -q get "ftp://127.0.0.1:$port/big.bin" "$work/local/down.bin" | sed 's/^/  /'
    echo "$binary put to $server:"
    count "$binary" -q put "$work/local/up.bin" "ftp://127.0.0.1:$port/up.bin" | sed 's/^/  /'
  done
done
