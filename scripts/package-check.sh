#!/usr/bin/env bash
# Builds the Debian package the Debian way (dpkg-buildpackage from debian/,
# in a copy of the tree so that nothing lands beside it), checks it with
# lintian (no error, no warning), installs it with apt as a user would,
# starts the program from its desktop entry under a virtual X display, and
# removes the package again, checking that nothing is left. The packages and
# the build's log end up in build-deb/. Needs root: it installs into the
# system. CI runs it; by hand:
#   sudo scripts/package-check.sh
# DEB_BUILD_OPTIONS=nocheck leaves out the test suite (CI ran it before) and
# its build dependencies.
set -euo pipefail
cd "$(dirname "$0")/.."
fail() { echo "package check FAILED: $*" >&2; exit 1; }
[[ $(id -u) -eq 0 ]] || fail "run it as root: it installs the package into the system"

export DEBIAN_FRONTEND=noninteractive
tools=(dpkg-dev debhelper lintian file dex xvfb xauth x11-utils)
missing=()
for package in "${tools[@]}"; do
  [[ $(dpkg-query -W -f='${Status}' "$package" 2>/dev/null) == "install ok installed" ]] || missing+=("$package")
done
if ((${#missing[@]} > 0)); then
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

work=$(mktemp -d)
# A check that fails after the install leaves no package behind.
installed_here=0
cleanup() {
  ((installed_here)) && apt-get remove -y -qq velliant-ftp >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
# Built from a copy at a fixed place: dpkg-buildpackage writes beside the
# source folder, and the compiler cache finds the same paths next time.
version=$(dpkg-parsechangelog -S Version)
source=build-deb/velliant-ftp-$version
rm -rf build-deb
mkdir -p "$source"
tar -c --exclude='./build*' --exclude=./.git --exclude='./obj-*' . | tar -x -C "$source"
if [[ " ${DEB_BUILD_OPTIONS:-} " == *" nocheck "* ]]; then
  export DEB_BUILD_PROFILES="${DEB_BUILD_PROFILES:+$DEB_BUILD_PROFILES }nocheck"
fi
# dh gives the build a home of its own; the compiler cache stays the user's.
export CCACHE_DIR=${CCACHE_DIR:-$HOME/.cache/ccache}
(cd "$source" && dpkg-buildpackage -us -uc -b) >build-deb/build.log 2>&1 ||
  fail "dpkg-buildpackage: $(tail -n 40 build-deb/build.log)"
rm -rf "$source"
debs=(build-deb/velliant-ftp_*.deb)
deb=$(realpath "${debs[0]}")
echo "built $(basename "$deb"):"
dpkg-deb --field "$deb" Package Version Architecture Depends | sed 's/^/  /'
lintian --fail-on error,warning --display-info build-deb/velliant-ftp_*.changes ||
  fail "lintian found errors or warnings"

if dpkg-query -W -f='${Status}' velliant-ftp 2>/dev/null | grep -q 'install ok'; then
  echo "removing the velliant-ftp installed before"
  apt-get remove -y -qq velliant-ftp >/dev/null
fi
# Everything outside the package manager's own records; caches that the
# package manager's triggers rebuild for every package are not ours.
snapshot() {
  find /usr /etc /opt -xdev -path /usr/share/applications/mimeinfo.cache -prune -o \
    -path /usr/share/icons/hicolor/icon-theme.cache -prune -o -print 2>/dev/null | sort
}
snapshot >"$work/before"

installed_here=1
apt install -y -q "$deb" >"$work/apt.log" 2>&1 || fail "apt install: $(cat "$work/apt.log")"
for file in /usr/bin/velliant-ftp /usr/bin/vftp /usr/share/applications/velliant-ftp.desktop \
  /usr/share/metainfo/com.orvansoftware.velliant_ftp.metainfo.xml /usr/share/icons/hicolor/scalable/apps/velliant-ftp.svg \
  /usr/share/icons/hicolor/48x48/apps/velliant-ftp.png /usr/share/velliant-ftp/blip.wav \
  /usr/share/velliant-ftp/spin.gif /usr/share/bash-completion/completions/vftp \
  /usr/share/icons/hicolor/256x256/apps/velliant-ftp.png /usr/share/doc/velliant-ftp/copyright \
  /usr/share/doc/velliant-ftp/changelog.gz /usr/share/doc/velliant-ftp/README.md.gz; do
  [[ -f $file ]] || fail "the package did not install $file"
done
man -w vftp >/dev/null && man -w velliant-ftp >/dev/null || fail "the manual pages are not found"
vftp --version

# Started the way the application menu starts it: from the desktop entry.
home=$work/home
mkdir -m 700 "$home" "$work/runtime"
cat >"$work/launch.sh" <<'LAUNCH'
set -u
dex -w /usr/share/applications/velliant-ftp.desktop 2>"$WORK/window.err" &
launcher=$!
for ((tenths = 0; tenths < 300; tenths++)); do
  if xwininfo -root -tree 2>/dev/null | grep -q 'Quillford Velliant FTP'; then break; fi
  sleep 0.1
done
program=$(pgrep -P "$launcher" | head -n 1)
status=1
if xwininfo -root -tree | grep -q 'Quillford Velliant FTP' && [[ $(readlink "/proc/$program/exe") == /usr/bin/velliant-ftp ]]; then
  status=0
  [[ -n ${SCREENSHOT:-} ]] && import -window root "$SCREENSHOT" 2>/dev/null
fi
[[ -n $program ]] && kill "$program"
wait "$launcher"
exit $status
LAUNCH
env -u QT_QPA_PLATFORM HOME="$home" XDG_RUNTIME_DIR="$work/runtime" WORK="$work" \
  xvfb-run -a -s "-screen 0 1280x800x24" bash "$work/launch.sh" ||
  fail "the window did not open from the desktop entry: $(cat "$work/window.err")"
if grep 'is missing' "$work/window.err"; then fail "the installed window misses its files"; fi
echo "the window opened from the desktop entry"

apt-get remove -y -qq velliant-ftp >"$work/apt.log" 2>&1 || fail "apt-get remove: $(cat "$work/apt.log")"
installed_here=0
dpkg-query -W -f='${Status}' velliant-ftp 2>/dev/null | grep -q 'install ok' && fail "still installed"
snapshot >"$work/after"
if ! diff "$work/before" "$work/after" >"$work/left"; then
  fail "the removal left changes behind: $(cat "$work/left")"
fi
echo "package check passed: installed, started from its desktop entry, removed without leftovers"
