#!/usr/bin/env bash
# An install into a temporary DESTDIR really runs: vftp answers from there;
# the window starts offscreen from there and finds its sound, animation and
# icon under the prefix (and says so when they are missing); and no program
# holds a folder of the source or build tree among its strings, so none can
# show or use one.
set -euo pipefail
build_dir=$1 source_dir=$2 version=$3 with_qt=$4
work=$(mktemp -d)
window=
cleanup() {
  [[ -n $window ]] && kill "$window" 2>/dev/null && wait "$window" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*"; exit 1; }

DESTDIR=$work/root cmake --install "$build_dir" --prefix /usr >/dev/null
prefix=$work/root/usr
export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_DIRS=$work/no-system-settings
unset XDG_CONFIG_HOME XDG_DATA_HOME
mkdir -m 700 "$HOME" "$XDG_RUNTIME_DIR"

"$prefix/bin/vftp" --help | grep -q '@NAME/PATH' || fail "vftp --help from the install"
[[ $("$prefix/bin/vftp" --version) == "vftp (Velliant FTP) $version" ]] || fail "vftp --version"

programs=("$prefix/bin/vftp")
[[ $with_qt == 1 ]] && programs+=("$prefix/bin/velliant-ftp")
# Sanitizer and debug builds name their source files for their reports,
# generated ones in the build tree included; those may stay. A folder of the source or build tree, or a file below one of their
# resources folders, may not.
for program in "${programs[@]}"; do
  objcopy -O binary --only-section=.rodata "$program" "$work/rodata"
  tree_paths=$(strings -n 4 "$work/rodata" | grep -x -F -e "$source_dir" -e "$source_dir/" -e "$build_dir" -e "$build_dir/" || true)
  resource_paths=$(strings -n 4 "$work/rodata" | grep -F -e "$source_dir/resources" -e "$(realpath "$build_dir")/" |
    grep -v -E '\.(c|cc|cpp|h)$' || true)
  [[ -z $tree_paths$resource_paths ]] || fail "$program holds build-time paths: $tree_paths $resource_paths"
done
[[ $with_qt == 1 ]] || { echo "vftp runs from the install (no window in this build)"; exit 0; }

# Answered on standard output, with no display to open a window on.
[[ $(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/velliant-ftp" --version) == "velliant-ftp (Velliant FTP) $version" ]] ||
  fail "velliant-ftp --version"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/velliant-ftp" --help | grep -q '^Usage: velliant-ftp \[LINK\]' ||
  fail "velliant-ftp --help"

# Starts the installed window; it is up once it has written its profile file,
# the last step of its start-up. Leaves its standard error in $work/window.err.
run_window() {
  rm -rf "$HOME/.local"
  QT_QPA_PLATFORM=offscreen "$prefix/bin/velliant-ftp" 2>"$work/window.err" &
  window=$!
  local profiles="$HOME/.local/share/Orvan Software/Velliant FTP/FTPServers.ini"
  for ((tenths = 0; tenths < 300; tenths++)); do
    [[ -f $profiles ]] && break
    kill -0 "$window" 2>/dev/null || fail "the window ended at start-up: $(cat "$work/window.err")"
    sleep 0.1
  done
  [[ -f $profiles ]] || fail "the window did not finish starting: $(cat "$work/window.err")"
  sleep 0.5
  kill -0 "$window" 2>/dev/null || fail "the window ended after start-up: $(cat "$work/window.err")"
  kill "$window"
  wait "$window" 2>/dev/null || true
  window=
}

run_window
if grep 'is missing' "$work/window.err"; then fail "the installed window misses its files"; fi

# The same check notices files that are not there.
mv "$prefix/share/velliant-ftp" "$work/moved-away"
run_window
# (The icon is compiled in; only the about box reads velliant-ftp.png.)
for file in blip.wav spin.gif; do
  grep -q "the program's file $file is missing from $prefix/share/velliant-ftp/" "$work/window.err" ||
    fail "no word of the missing $file: $(cat "$work/window.err")"
done
echo "vftp and the window run from the install"
