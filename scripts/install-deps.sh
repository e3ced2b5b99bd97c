#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, when
# any of them is missing. Uses apt-get as root, sudo otherwise.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-multimedia-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  python3 python3-pyftpdlib vsftpd microsocks dante-server
  libssl-dev python3-openssl openssl libsodium23
  curl netbase procps time
  clang-format desktop-file-utils appstream
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
pure_dir=/opt/velliant-ftp-test/pure-ftpd
[[ ${#missing[@]} -eq 0 && -x "$pure_dir/usr/sbin/pure-ftpd" ]] && exit 0

run_as_root=()
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "Please install as root: ${missing[*]} $pure_dir" >&2; exit 1; }
  run_as_root=(sudo)
fi
if [[ ${#missing[@]} -gt 0 ]]; then
  echo "Installing: ${missing[*]}"
  # The servers are test peers started by the tests themselves; keep the
  # packages' own services from starting on the system's ports.
  export DEBIAN_FRONTEND=noninteractive
  "${run_as_root[@]}" apt-get update -qq
  "${run_as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# pure-ftpd is a test peer too, but its package conflicts with vsftpd's (both
# are the system's FTP server): it is unpacked into a folder of its own, never
# installed. Without it its tests skip.
if [[ ! -x "$pure_dir/usr/sbin/pure-ftpd" ]]; then
  download=$(mktemp -d)
  if (cd "$download" && apt-get download pure-ftpd >/dev/null 2>&1); then
    echo "Unpacking pure-ftpd into $pure_dir"
    "${run_as_root[@]}" mkdir -p "$pure_dir"
    "${run_as_root[@]}" dpkg-deb -x "$download"/pure-ftpd_*.deb "$pure_dir"
  else
    echo "pure-ftpd could not be downloaded; its tests will skip" >&2
  fi
  rm -rf "$download"
fi

