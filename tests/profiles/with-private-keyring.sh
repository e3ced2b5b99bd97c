#!/usr/bin/env bash
# Runs a program inside a D-Bus session of its own whose Secret Service is a
# gnome-keyring-daemon with an unlocked keyring in a home folder of its own,
# so that no test touches the user's keyring. Exits 77 (skipped) when the
# session tools or the daemon are not installed.
set -uo pipefail
for tool in dbus-run-session gnome-keyring-daemon; do
  command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -m 700 "$work/home" "$work/runtime"
export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime XDG_DATA_HOME=$work/home/.local/share \
  XDG_CONFIG_HOME=$work/home/.config
# The daemon ends by itself when the session bus goes away.
dbus-run-session -- bash -c 'printf unlock | gnome-keyring-daemon --unlock --components=secrets --daemonize >/dev/null &&
  exec "$@"' keyring "$@"
