# Loopback FTP servers for the benchmarks; sourced by transfer.sh and
# syscalls.sh. Both serve "$work/root" to an anonymous user who may write,
# on 127.0.0.1 only, and are stopped by bench_cleanup.
#
#   bench_make_site ROOT FILES FOLDERS   the site of site.sh and gui-site.sh
#   bench_start_vsftpd    sets vsftpd_port; $vsftpd_extra (lines) joins its
#                         configuration (TLS, for example)
#   bench_start_pyftpdlib sets pyftpdlib_port; with $pyftpdlib_tls set to
#                         "cert.pem key.pem" it requires TLS for log-in and
#                         data (Debian python3-openssl)

bench_pids=()

# A web site of random pages, the same bytes every run: FILES pages of 1-50
# KiB spread over FOLDERS folders below ROOT.
bench_make_site() {
  /usr/bin/python3 - "$1" "$2" "$3" <<'PY'
import os, random, sys
root, files, folders = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
rng = random.Random(2026)
for i in range(files):
    folder = os.path.join(root, "d%02d" % (i % folders))
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "page%04d.html" % i), "wb") as f:
        f.write(rng.randbytes(rng.randint(1024, 50 * 1024)))
PY
}

bench_cleanup() {
  local pid
  for pid in "${bench_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  [[ -n "${work:-}" && -d "$work" ]] && rm -rf "$work"
}

bench_free_port() {
  python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'
}

bench_wait_port() {
  local _
  for _ in $(seq 100); do (echo >"/dev/tcp/127.0.0.1/$1") 2>/dev/null && return 0; sleep 0.1; done
  echo "server on port $1 did not start" >&2
  return 1
}

bench_start_vsftpd() {
  vsftpd_port=$(bench_free_port)
  local pasv=$((30000 + RANDOM % 20000))
  mkdir -p "$work/empty"
  cat >"$work/vsftpd.conf" <<CONF
listen=YES
listen_ipv6=NO
listen_address=127.0.0.1
listen_port=$vsftpd_port
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
pasv_min_port=$pasv
pasv_max_port=$((pasv + 200))
xferlog_enable=NO
${vsftpd_extra:-}
CONF
  /usr/sbin/vsftpd "$work/vsftpd.conf" &
  bench_pids+=($!)
  bench_wait_port "$vsftpd_port"
}

bench_start_pyftpdlib() {
  pyftpdlib_port=$(bench_free_port)
  cat >"$work/pyftpd.py" <<'PY'
import sys
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, TLS_FTPHandler
from pyftpdlib.servers import FTPServer
authorizer = DummyAuthorizer()
authorizer.add_anonymous(sys.argv[2], perm="elradfmwMT")
class Handler(TLS_FTPHandler if len(sys.argv) > 4 else FTPHandler):
    pass
if len(sys.argv) > 4:
    Handler.certfile, Handler.keyfile = sys.argv[3], sys.argv[4]
    Handler.tls_control_required = Handler.tls_data_required = True
Handler.authorizer = authorizer
FTPServer(("127.0.0.1", int(sys.argv[1])), Handler).serve_forever(timeout=0.5)
PY
  # shellcheck disable=SC2086 # the two file names of $pyftpdlib_tls
  /usr/bin/python3 "$work/pyftpd.py" "$pyftpdlib_port" "$work/root" ${pyftpdlib_tls:-} 2>/dev/null &
  bench_pids+=($!)
  bench_wait_port "$pyftpdlib_port"
}
