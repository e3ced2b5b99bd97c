#!/usr/bin/env bash
# Fails when an include points up or sideways in the layer map, or when a
# folder below the Qt helpers includes a Qt header. docs/ARCHITECTURE.md
# draws the same map; a new folder is one line in each.
set -euo pipefail
cd "$(dirname "$0")/.."

# folder: the folders it may include besides itself ("qt" allows Qt headers).
declare -A may_use=(
  [platform]=""
  [net]="platform"
  [ftp]="net platform"
  [util]="platform"
  [transfer]="ftp net platform util"
  [tools]="transfer ftp net platform util"
  [util/ui]="util platform qt"
  [dialogs]="util/ui util platform qt"
  [profiles]="dialogs util/ui util platform qt"
  [session]="transfer ftp net dialogs util/ui util platform qt"
  [localpane]="dialogs util/ui util platform qt"
  [app]="profiles session localpane dialogs util/ui util transfer ftp net platform qt"
)

# The layer a path belongs to: its longest folder prefix in the map.
layer_of() {
  local path=$1 best="" folder
  for folder in "${!may_use[@]}"; do
    if [[ "$path" == "$folder/"* && ${#folder} -gt ${#best} ]]; then best=$folder; fi
  done
  printf '%s' "$best"
}

failures=0
while IFS= read -r file; do
  layer=$(layer_of "$file")
  [[ -n "$layer" ]] || continue
  allowed=" $layer ${may_use[$layer]} "
  while IFS=: read -r line include; do
    if [[ "$include" =~ ^\<Q ]]; then
      if [[ "$allowed" != *" qt "* ]]; then
        echo "$file:$line: Qt header $include below the Qt helpers"
        failures=$((failures + 1))
      fi
      continue
    fi
    target=$(layer_of "${include//\"/}")
    [[ -n "$target" ]] || continue
    if [[ "$allowed" != *" $target "* ]]; then
      echo "$file:$line: $layer may not include $include ($target is not below it)"
      failures=$((failures + 1))
    fi
  done < <(grep -n -o -E '^#include ("[^"]+"|<Q[A-Za-z/]*>)' "$file" | sed -E 's/#include //')
done < <(git ls-files '*.cpp' '*.h')

if [[ $failures -gt 0 ]]; then
  echo "$failures include(s) break the layer map (scripts/check-layers.sh, docs/ARCHITECTURE.md)"
  exit 1
fi
echo "layer map: every include points down"
