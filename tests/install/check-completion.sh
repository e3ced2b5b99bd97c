#!/usr/bin/env bash
# Bash completes vftp's commands, options and saved profile names (any case,
# names with blanks kept whole).
set -euo pipefail
vftp=$1 completion=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work XDG_CONFIG_DIRS=$work/none
unset XDG_CONFIG_HOME XDG_DATA_HOME
folder="$HOME/.local/share/Orvan Software/Velliant FTP"
mkdir -p "$folder"
cat >"$folder/FTPServers.ini" <<'INI'
[General]
Count=3
[Server1]
Name="My Web Site"
Hostname="127.0.0.1"
[Server2]
Name="mirror"
Hostname="127.0.0.1"
[Server3]
Name="Office"
Hostname="127.0.0.1"
INI

complete_words() {
  COMP_WORDS=("$@")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _vftp
  ((${#COMPREPLY[@]} == 0)) || printf '%s|' "${COMPREPLY[@]}"
}
# compopt only works while readline completes; outside it, it is a no-op.
compopt() { :; }
source "$completion"

failures=0
expect() {
  local want=$1
  shift
  local got
  got=$(complete_words "$vftp" "$@")
  if [[ $got != "$want" ]]; then
    echo "FAILED: vftp $* -> '$got', expected '$want'"
    failures=$((failures + 1))
  fi
}
expect 'get|' g
expect 'mkdir|mv|mirror|' -v m
expect '--netrc|' --ne
expect '' -t 1
expect 'ls|' -t 5 l
expect '@mirror/|@My\ Web\ Site/|' ls @m
expect '@My\ Web\ Site/|' put index.html '@MY'
expect '@My\ Web\ Site/|' put index.html '\@My\ W'
expect '@My Web Site/|' ls "'@my w"
expect '@Office/|' -a get @o
# Bash built with host-name completion breaks words at '@'; readline still
# replaces the word with its '@'.
expect '@mirror/|@My\ Web\ Site/|@Office/|' ls @
expect '@My\ Web\ Site/|' ls @ 'my\ '
expect '' ls @Shop
expect '' ls @ Shop
expect 'profiles|' prof
((failures == 0)) && echo "vftp completes commands, options and profile names"
exit $((failures > 0))
