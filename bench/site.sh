#!/usr/bin/env bash
# A web site of many small files, as vftp mirror moves it against the
# command-line clients a user would pick instead. The tree: FILES files
# (default 2000) of 1-50 KiB in FOLDERS folders (default 40). Against vsftpd
# and pyftpdlib on loopback, each round (RUNS, default 3) runs:
#   upload    vftp mirror -R --parallel P, lftp mirror -R --parallel=P,
#             curl -Z --parallel-max P (one upload per file, --ftp-create-dirs)
#   download  vftp mirror --parallel P, lftp mirror --parallel=P
#   update    CHANGED files (default 20) edited, then each tool's form of
#             "only what changed": vftp mirror -R, lftp mirror -R --only-newer
#             (curl has none)
# with P = PARALLEL (default 4), then once more with P = 1 for the commands
# each file costs (vftp -v and lftp's debug log, control commands counted).
# Every copy is compared with diff -r. Prints medians of wall time, files per
# second and peak memory, and the load of the machine before and after (the
# timings belong to the machine and the moment they ran on).
#
#   bench/site.sh [build-folder]      (default: build)
#
# Debian packages: vsftpd python3-pyftpdlib curl lftp time.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
vftp="$PWD/$build/tools/vftp/vftp"
files=${FILES:-2000}
folders=${FOLDERS:-40}
runs=${RUNS:-3}
parallel=${PARALLEL:-4}
changed=${CHANGED:-20}

missing=()
for command in "$vftp" /usr/sbin/vsftpd /usr/bin/python3 curl lftp /usr/bin/time; do
  command -v "$command" >/dev/null || missing+=("$command")
done
/usr/bin/python3 -c 'import pyftpdlib' 2>/dev/null || missing+=(pyftpdlib)
if [[ ${#missing[@]} -gt 0 ]]; then
  echo "missing: ${missing[*]}; build first, and: apt-get install vsftpd python3-pyftpdlib curl lftp time" >&2
  exit 1
fi

work=$(mktemp -d "${WORK_DIR:-/tmp}/vftp-site.XXXXXX")
source bench/servers.sh
trap bench_cleanup EXIT
mkdir -p "$work/root"
vsftpd_extra="anon_mkdir_write_enable=YES
anon_umask=022
max_per_ip=0
max_clients=0"
bench_start_vsftpd
bench_start_pyftpdlib
results="$work/results.txt"
: >"$results"

# The site, the same bytes every run.
bench_make_site "$work/site" "$files" "$folders"
cp -a "$work/site" "$work/root/site"

# Runs a command under /usr/bin/time; records "label wall peak-KiB".
measure() {
  local label=$1
  shift
  # Through bash, so that the helper functions below can be measured too.
  /usr/bin/time -f '%e %M' -o "$work/time.txt" bash -c '"$@"' bash "$@" >"$work/out.txt" 2>"$work/err.txt" || {
    echo "$label failed:" >&2
    tail -5 "$work/err.txt" >&2
  }
  echo "$label $(tail -n 1 "$work/time.txt")" >>"$results"
}

same() {
  diff -r "$1" "$2" >/dev/null || echo "DIFFERENT: $1 $2" | tee -a "$work/differences.txt" >&2
}

lftp_run() {
  local port=$1
  shift
  lftp -c "set net:max-retries 2; set net:timeout 30; set ftp:passive-mode on; open -u anonymous,vftp@ ftp://127.0.0.1:$port; $*"
}

curl_upload() {
  local port=$1 target=$2 config="$work/curl.cfg"
  : >"$config"
  (cd "$work/site" && find . -type f | sort) | while read -r f; do
    printf 'upload-file = "%s"\nurl = "ftp://127.0.0.1:%s/%s/%s"\n' "$work/site/${f#./}" "$port" "$target" "${f#./}" >>"$config"
  done
  curl -s -S -Z --parallel-max "$parallel" --ftp-create-dirs --ftp-pasv -u anonymous:vftp@ -K "$config"
}

edit_files() {
  local tree=$1
  (cd "$tree" && find . -type f | sort | head -n "$changed") | while read -r f; do
    printf 'edited %s\n' "$RANDOM" >>"$tree/${f#./}"
    touch -d '+2 minutes' "$tree/${f#./}"
  done
}

export work parallel
export -f lftp_run curl_upload
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
for round in $(seq "$runs"); do
  for server in vsftpd pyftpdlib; do
    port_var="${server}_port"
    port=${!port_var}
    url="ftp://127.0.0.1:$port"
    for tool in vftp lftp curl; do
      rm -rf "$work/root/up-$tool"
      case $tool in
        vftp) measure "upload $server $tool $round" "$vftp" -q mirror -R --parallel "$parallel" "$work/site" "$url/up-$tool" ;;
        lftp) measure "upload $server $tool $round" lftp_run "$port" "mirror -R --parallel=$parallel $work/site up-$tool" ;;
        curl) measure "upload $server $tool $round" curl_upload "$port" "up-$tool" ;;
      esac
      same "$work/site" "$work/root/up-$tool"
    done
    for tool in vftp lftp; do
      rm -rf "$work/down-$tool"
      case $tool in
        vftp) measure "download $server $tool $round" "$vftp" -q mirror --parallel "$parallel" "$url/site" "$work/down-$tool" ;;
        lftp) measure "download $server $tool $round" lftp_run "$port" "mirror --parallel=$parallel site $work/down-$tool" ;;
      esac
      same "$work/root/site" "$work/down-$tool"
    done
    rm -rf "$work/edited"
    cp -a "$work/site" "$work/edited"
    edit_files "$work/edited"
    for tool in vftp lftp; do
      case $tool in
        vftp) measure "update $server $tool $round" "$vftp" -q mirror -R --parallel "$parallel" "$work/edited" "$url/up-$tool" ;;
        lftp) measure "update $server $tool $round" lftp_run "$port" "mirror -R --only-newer --parallel=$parallel $work/edited up-$tool" ;;
      esac
      same "$work/edited" "$work/root/up-$tool"
    done
  done
done

# One connection: the commands each file costs on the control connection.
for server in vsftpd pyftpdlib; do
  port_var="${server}_port"
  port=${!port_var}
  url="ftp://127.0.0.1:$port"
  rm -rf "$work/root/one-vftp" "$work/root/one-lftp"
  measure "upload-p1 $server vftp 1" "$vftp" -q -v mirror -R --parallel 1 "$work/site" "$url/one-vftp"
  vftp_commands=$(grep -c '^> ' "$work/err.txt" || true)
  measure "upload-p1 $server lftp 1" lftp_run "$port" "debug -o $work/lftp.log 9; mirror -R --parallel=1 $work/site one-lftp"
  lftp_commands=$(grep -c -- '---> ' "$work/lftp.log" || true)
  same "$work/site" "$work/root/one-vftp"
  same "$work/site" "$work/root/one-lftp"
  echo "commands $server vftp $vftp_commands" >>"$results"
  echo "commands $server lftp $lftp_commands" >>"$results"
  rm -f "$work/lftp.log"
  rm -rf "$work/one-down-vftp" "$work/one-down-lftp"
  measure "download-p1 $server vftp 1" "$vftp" -q mirror --parallel 1 "$url/site" "$work/one-down-vftp"
  measure "download-p1 $server lftp 1" lftp_run "$port" "mirror --parallel=1 site $work/one-down-lftp"
  same "$work/root/site" "$work/one-down-vftp"
  same "$work/root/site" "$work/one-down-lftp"
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

echo "$(nproc) cores, load average before $load_before, after $load_after; $(date -u '+%Y-%m-%d %H:%M UTC')"
echo "$files files of 1-50 KiB in $folders folders, --parallel $parallel unless p1; update = $changed files edited; medians of $runs rounds (p1: 1 round)"
/usr/bin/python3 - "$results" "$files" "$changed" <<'PY'
import collections, statistics, sys
rows = collections.defaultdict(list)
commands = {}
for line in open(sys.argv[1]):
    parts = line.split()
    if parts[0] == "commands":
        commands[(parts[1], parts[2])] = int(parts[3])
        continue
    op, server, tool, _, wall, peak = parts
    rows[(op, server, tool)].append((float(wall), int(peak)))
files, changed = int(sys.argv[2]), int(sys.argv[3])
print("%-12s %-10s %-5s %8s %9s %12s %9s" % ("operation", "server", "tool", "wall s", "files/s", "vftp/best", "peak MiB"))
for op in ("upload", "download", "update", "upload-p1", "download-p1"):
    for server in ("vsftpd", "pyftpdlib"):
        tools = [t for t in ("vftp", "lftp", "curl") if (op, server, t) in rows]
        med = {t: (statistics.median(w for w, _ in rows[(op, server, t)]), statistics.median(p for _, p in rows[(op, server, t)])) for t in tools}
        count = changed if op == "update" else files
        peers = [med[t][0] for t in tools if t != "vftp"]
        for t in tools:
            wall, peak = med[t]
            ratio = "%.2fx" % (min(peers) / wall) if t == "vftp" and peers and wall > 0 else ""
            rate = count / wall if wall > 0 else 0
            print("%-12s %-10s %-5s %8.2f %9.0f %12s %9.1f" % (op, server, t, wall, rate, ratio, peak / 1024))
for (server, tool), n in sorted(commands.items()):
    print("control commands per file, --parallel 1 upload, %s %s: %.2f" % (server, tool, n / files))
PY
if [[ -s "$work/differences.txt" ]]; then
  echo "SOME COPIES DIFFER (above)"
  exit 1
fi
echo "every copy identical (diff -r)"
