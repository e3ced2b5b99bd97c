#!/bin/sh
# Renders the application icon's PNG sizes from its drawing: the 48x48 one
# that the window's files hold (the about box shows it) and the hicolor sizes
# that the install and the window icon use. Needs rsvg-convert (Debian
# librsvg2-bin); run it again after changing velliant-ftp.svg.
set -eu
cd "$(dirname "$0")"
rsvg-convert --width 48 --height 48 velliant-ftp.svg --output velliant-ftp.png
for size in 16 32 128 256; do
  mkdir -p "icons/${size}x${size}"
  rsvg-convert --width "$size" --height "$size" velliant-ftp.svg --output "icons/${size}x${size}/velliant-ftp.png"
done
