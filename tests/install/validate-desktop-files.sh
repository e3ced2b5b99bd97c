#!/usr/bin/env bash
# The desktop entry and the AppStream metadata pass their validators, and the
# metadata's newest release and the Debian changelog's newest entry are the
# version being built. Exits 77 (skipped) when a validator is not installed.
set -euo pipefail
source_dir=$1 version=$2
desktop=$source_dir/resources/desktop/velliant-ftp.desktop
metainfo=$source_dir/resources/desktop/com.orvansoftware.velliant_ftp.metainfo.xml

newest=$(grep -o -m 1 '<release version="[^"]*"' "$metainfo" | cut -d '"' -f 2)
if [[ $newest != "$version" ]]; then
  echo "the newest release in $metainfo is '$newest', the build's version is $version"
  exit 1
fi
packaged=$(sed -n '1s/^velliant-ftp (\([^)]*\)).*/\1/p' "$source_dir/debian/changelog")
if [[ $packaged != "$version" ]]; then
  echo "the newest entry of debian/changelog is '$packaged', the build's version is $version"
  exit 1
fi
missing=()
command -v desktop-file-validate >/dev/null || missing+=("desktop-file-validate (Debian desktop-file-utils)")
command -v appstreamcli >/dev/null || missing+=("appstreamcli (Debian appstream)")
if ((${#missing[@]} > 0)); then
  echo "SKIPPED: not installed: ${missing[*]}"
  exit 77
fi
desktop-file-validate "$desktop"
appstreamcli validate --no-net --pedantic "$metainfo"
