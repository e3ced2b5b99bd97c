#!/bin/sh
# Renders the 48x48 application icon from its drawing. Needs rsvg-convert
# (Debian librsvg2-bin); run it again after changing velliant-ftp.svg.
set -eu
cd "$(dirname "$0")"
rsvg-convert --width 48 --height 48 velliant-ftp.svg --output velliant-ftp.png
