#!/usr/bin/env bash
# Installs the Debian packages that are missing, with apt-get as root or
# through sudo:
#   install-deps.sh --build   what building and running the program needs
#                             (compiler, CMake, Ninja, Qt and its translations,
#                             OpenSSL, libsecret)
#   install-deps.sh           that, and what the tests need: GoogleTest, the
#                             test servers and proxies, and the checkers
# The test servers are test peers that the tests start on loopback ports of
# their own. None of them is ever left running as a system service: their
# packages' services are kept from starting during the install and disabled
# after it, and pure-ftpd is unpacked into a folder of its own.
set -euo pipefail

build_packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-multimedia-dev qt6-l10n-tools qt6-translations-l10n libgl-dev
  libssl-dev libsecret-1-dev
)
test_packages=(
  libgtest-dev libgmock-dev libbenchmark-dev
  python3 python3-pyftpdlib vsftpd microsocks dante-server
  python3-openssl openssl libsodium23
  gnome-keyring dbus-daemon
  curl netbase procps time
  clang-format desktop-file-utils appstream
)
# The packages above that bring a system service, by the service's name.
test_services=(vsftpd danted)

with_tests=1
case "${1:-}" in
  --build) with_tests=0 ;;
  "") ;;
  *) echo "usage: $0 [--build]" >&2; exit 2 ;;
esac
packages=("${build_packages[@]}")
((with_tests)) && packages+=("${test_packages[@]}")

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
pure_dir=/opt/velliant-ftp-test/pure-ftpd
need_pure=0
((with_tests)) && [[ ! -x "$pure_dir/usr/sbin/pure-ftpd" ]] && need_pure=1

run_as_root=()
if [[ $(id -u) -ne 0 ]]; then
  run_as_root=(sudo)
  if ! command -v sudo >/dev/null && ((${#missing[@]} > 0 || need_pure)); then
    echo "Please install as root: ${missing[*]} $pure_dir" >&2
    exit 1
  fi
fi

# invoke-rc.d asks /usr/sbin/policy-rc.d before it starts a package's
# service; exit status 101 means "not now". It is in place only for this
# install and only when no other policy is (a container's own stays).
policy=/usr/sbin/policy-rc.d
own_policy=0
keep_services_off() {
  [[ -e $policy ]] && return
  printf '#!/bin/sh\nexit 101\n' | "${run_as_root[@]}" tee "$policy" >/dev/null
  "${run_as_root[@]}" chmod 755 "$policy"
  own_policy=1
}
remove_policy() { ((own_policy)) && "${run_as_root[@]}" rm -f "$policy"; own_policy=0; }
trap remove_policy EXIT

if [[ ${#missing[@]} -gt 0 ]]; then
  echo "Installing: ${missing[*]}"
  keep_services_off
  "${run_as_root[@]}" apt-get update -qq
  "${run_as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
  remove_policy
fi

# A service that systemd would start at the next boot, or that was running
# from an install before this script kept them off, is stopped and disabled.
if ((with_tests)) && [[ -d /run/systemd/system ]]; then
  for service in "${test_services[@]}"; do
    if systemctl is-enabled --quiet "$service" 2>/dev/null || systemctl is-active --quiet "$service" 2>/dev/null; then
      echo "Disabling the system service $service (the tests start their own)"
      "${run_as_root[@]}" systemctl disable --now "$service" >/dev/null 2>&1 || true
    fi
  done
fi

# pure-ftpd is a test peer too, but its package conflicts with vsftpd's (both
# are the system's FTP server): it is unpacked into a folder of its own, never
# installed. Without it its tests skip.
if ((need_pure)); then
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
