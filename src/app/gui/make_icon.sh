#!/bin/sh
# Draws the installer's icon: a blue (#1675FE) rounded square with a white
# "T" whose stem ends in a download arrow, at 256 pixels, and packs it with
# the smaller sizes Windows asks for into one .ico.
#
#   make_icon.sh <output.ico>
set -eu
out=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
convert -size 256x256 xc:none \
  -fill '#1675FE' -draw 'roundrectangle 8,8 247,247 52,52' \
  -fill white \
  -draw 'roundrectangle 56,52 200,88 10,10' \
  -draw 'rectangle 110,70 146,160' \
  -draw 'polygon 78,150 178,150 128,210' \
  "$tmp/icon256.png"
convert "$tmp/icon256.png" -depth 8 -define icon:auto-resize=256,64,48,32,24,16 "$out"
