#!/usr/bin/env bash
# FTP over TLS: vftp against curl and lftp, in one run, downloading and
# uploading a SIZE_MB MiB file (default 1024) over explicit TLS from vsftpd
# and pyftpdlib on loopback, set up as hosting providers do (TLS required for
# log-in and data; vsftpd also wants data connections to resume the control
# connection's session).
# Each tool skips certificate checks (the certificate is made here, self-
# signed). RUNS rounds (default 3), a different tool first in each; every
# copy is checked byte for byte. Reports medians of wall time, CPU time (user
# + system) and peak memory, and each tool's ratio to vftp.
#
#   bench/tls-transfer.sh [build-folder]       (default: build)
#
#   WORK_DIR=/dev/shm   where the files go (default /tmp: a disk)
#
# Debian packages: vsftpd python3-pyftpdlib python3-openssl curl lftp openssl
# time.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
vftp="$PWD/$build/tools/vftp/vftp"
size_mb=${SIZE_MB:-1024}
runs=${RUNS:-3}
tools=(vftp curl lftp)
# Every tool with the system's own trust settings, as on a desktop: some
# build machines point these at a bundle, which makes OpenSSL read it whole.
unset SSL_CERT_FILE SSL_CERT_DIR

for command in "$vftp" /usr/sbin/vsftpd curl lftp openssl /usr/bin/time; do
  command -v "$command" >/dev/null || { echo "missing: $command" >&2; exit 1; }
done

work=$(mktemp -d "${WORK_DIR:-/tmp}/vftp-tls-bench.XXXXXX")
chmod 755 "$work"
source bench/servers.sh
trap bench_cleanup EXIT
mkdir -p "$work/root" "$work/local/get"
results="$work/results.txt"

openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 2 \
  -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 >/dev/null 2>&1
vsftpd_extra="ssl_enable=YES
allow_anon_ssl=YES
force_anon_logins_ssl=YES
force_anon_data_ssl=YES
require_ssl_reuse=YES
rsa_cert_file=$work/cert.pem
rsa_private_key_file=$work/key.pem"

echo "making a ${size_mb} MiB file..." >&2
head -c "$((size_mb * 1024 * 1024))" /dev/urandom >"$work/root/big.bin"
cp "$work/root/big.bin" "$work/local/up.bin"
bench_start_vsftpd
pyftpdlib_tls="$work/cert.pem $work/key.pem"
bench_start_pyftpdlib
servers=(vsftpd pyftpdlib)

# The command line of one tool for one operation against the server on
# `port`, into the array `cmd`.
command_for() {
  local url="ftp://127.0.0.1:$3"
  local lftp_open="set ftp:ssl-force true; set ftp:ssl-protect-data true; set ssl:verify-certificate no; set xfer:clobber yes; open -u anonymous,bench -p $3 127.0.0.1"
  case "$1/$2" in
    vftp/get) cmd=("$vftp" -q --tls -k get "$url/big.bin" "$work/local/get/big.bin") ;;
    vftp/put) cmd=("$vftp" -q --tls -k put "$work/local/up.bin" "$url/up.bin") ;;
    curl/get) cmd=(curl -s --ssl-reqd -k -o "$work/local/get/big.bin" "$url/big.bin") ;;
    curl/put) cmd=(curl -s --ssl-reqd -k -T "$work/local/up.bin" "$url/up.bin") ;;
    lftp/get) cmd=(lftp -c "$lftp_open; get big.bin -o $work/local/get/big.bin") ;;
    lftp/put) cmd=(lftp -c "$lftp_open; put $work/local/up.bin -o up.bin") ;;
  esac
}

measure() {
  local tool=$1 op=$2 server=$3 start end port
  [[ $server == vsftpd ]] && port=$vsftpd_port || port=$pyftpdlib_port
  command_for "$tool" "$op" "$port"
  rm -f "$work/local/get/big.bin" "$work/root/up.bin"
  sync
  start=$(date +%s%N)
  /usr/bin/time -f '%U %S %M' -o "$work/time.txt" "${cmd[@]}" >/dev/null 2>"$work/err.txt" || {
    echo "$tool $op ($server) failed:" >&2
    cat "$work/err.txt" >&2
    exit 1
  }
  end=$(date +%s%N)
  if [[ $op == get ]]; then
    cmp -s "$work/root/big.bin" "$work/local/get/big.bin" || { echo "$tool get: copy differs" >&2; exit 1; }
  else
    cmp -s "$work/local/up.bin" "$work/root/up.bin" || { echo "$tool put: copy differs" >&2; exit 1; }
  fi
  awk -v t="$tool" -v o="$op" -v s="$server" -v w="$(((end - start) / 1000000))" \
    '{ printf "%s %s %s %.3f %.2f %s\n", t, o, s, w / 1000, $1 + $2, $3 }' "$work/time.txt" >>"$results"
}

for run in $(seq "$runs"); do
  echo "round $run of $runs..." >&2
  shift_by=$(((run - 1) % ${#tools[@]}))
  order=("${tools[@]:shift_by}" "${tools[@]:0:shift_by}")
  for server in "${servers[@]}"; do
    for op in get put; do
      for tool in "${order[@]}"; do
        # curl 7.88 loses step with pyftpdlib's TLS replies ("Bad PASV/EPSV
        # response: 200" after PROT P): no figure rather than a failure.
        [[ $tool/$server == curl/pyftpdlib ]] && continue
        measure "$tool" "$op" "$server"
      done
    done
  done
done

echo
echo "$(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg), $(date -u '+%Y-%m-%d %H:%M UTC'), $(uname -r), $(openssl version | cut -d' ' -f1-2)"
echo "${size_mb} MiB over explicit TLS, medians of $runs rounds: RUNS=$runs SIZE_MB=$size_mb bench/tls-transfer.sh"
/usr/bin/python3 - "$results" "$size_mb" <<'PY'
import collections, statistics, sys
rows = collections.defaultdict(list)
for line in open(sys.argv[1]):
    tool, op, server, wall, cpu, peak = line.split()
    rows[(op, server, tool)].append((float(wall), float(cpu), int(peak)))
size_mb = float(sys.argv[2])
for op, name in (("get", "download to a file"), ("put", "upload")):
    print(f"\n{name}\n")
    print("| server | tool | wall s | MiB/s | CPU s | peak KiB | wall / vftp | CPU / vftp | peak / vftp |")
    print("|---|---|---:|---:|---:|---:|---:|---:|---:|")
    for server in dict.fromkeys(s for (o, s, t) in rows):
        tools = [t for (o, s, t) in rows if o == op and s == server]
        med = {t: [statistics.median(r[i] for r in rows[(op, server, t)]) for i in range(3)] for t in tools}
        base = med["vftp"]
        for t in tools:
            wall, cpu, peak = med[t]
            print(f"| {server} | {t} | {wall:.3f} | {size_mb / wall:.0f} | {cpu:.2f} | {peak:.0f} | "
                  f"{wall / base[0]:.2f} | {cpu / base[1]:.2f} | {peak / base[2]:.2f} |")
PY
