#!/bin/sh
# Draws every image of the installer's skin with ImageMagick 6 `convert`.
#
#   make_images.sh <output folder>
#
# Writes <output folder>/res/... with the names, sizes and roles the markup
# files refer to. The look: flat, white body, one blue accent (#1675FE) with
# a lighter hot and a darker pushed shade, grey glyphs on the title bar.
# Change a colour or a shape here and rebuild; the archive is packed from
# whatever this script writes. Output is reproducible: time chunks are left
# out of the PNG files so that equal drawings give equal bytes.
set -eu

out=${1:?usage: make_images.sh <output folder>}
common="$out/res/common"
main="$out/res/mainWnd"
anim="$out/res/mainWnd/installBtnAnimate"
box="$out/res/MessageBoxWnd"
mkdir -p "$common" "$main" "$anim" "$box"

accent='#1675FE'
accent_hot='#5A9DFD'
accent_pushed='#1365DB'
glyph='#8A94A6'
glyph_dark='#4A5568'
ink='#1F2D3D'

# Fonts are optional: without them the few lettered images fall back to
# ImageMagick's default font.
latin_font=$(fc-match -f '%{file}' 'DejaVu Sans:bold' 2>/dev/null || true)
cjk_font=$(fc-match -f '%{file}' 'WenQuanYi Micro Hei' 2>/dev/null || true)
font_opt() { if [ -n "$1" ] && [ -f "$1" ]; then printf '%s' "-font $1"; fi; }

# convert with the options that keep the output byte-stable.
im() { convert "$@"; }
png32() { printf 'PNG32:%s' "$1"; }
stable='-define png:exclude-chunks=date,time +set date:create +set date:modify -strip'

# Points along a circular arc, for polyline:
#   <cx> <cy> <r> <from deg> <to deg> <segments>
# ImageMagick 6 closes stroked arcs and paths, so arcs are drawn as lines;
# it also refuses thick polylines whose points crowd, so small arcs take
# fewer segments.
arc_points() {
  awk -v cx="$1" -v cy="$2" -v r="$3" -v a0="$4" -v a1="$5" -v n="$6" 'BEGIN {
    pi = 3.14159265358979
    for (i = 0; i <= n; i++) {
      a = (a0 + (a1 - a0) * i / n) * pi / 180
      printf " %.3f,%.3f", cx + r * cos(a), cy + r * sin(a)
    }
  }'
}

# --- title-bar buttons (24x24): normal, hot, pushed --------------------------
title_button() { # <file> <background or none> <glyph colour> <glyph draw>
  # shellcheck disable=SC2086
  im -size 24x24 xc:none \
     -fill "$2" -stroke none -draw "roundrectangle 0,0 23,23 4,4" \
     -fill none -stroke "$3" -strokewidth 1.6 -draw "$4" \
     $stable "$(png32 "$1")"
}
cross='line 7.5,7.5 16.5,16.5 line 16.5,7.5 7.5,16.5'
dash='line 7,12.5 17,12.5'
title_button "$common/closebtn1.png" none "$glyph" "$cross"
title_button "$common/closebtn2.png" '#E9EEF6' "$glyph_dark" "$cross"
title_button "$common/closebtn3.png" '#D6DEEA' "$ink" "$cross"
title_button "$common/minbtn1.png" none "$glyph" "$dash"
title_button "$common/minbtn2.png" '#E9EEF6' "$glyph_dark" "$dash"
title_button "$common/minbtn3.png" '#D6DEEA' "$ink" "$dash"
# Dialog close button: red when hot, the usual convention for closing.
title_button "$common/closebtnM_1.png" none "$glyph" "$cross"
title_button "$common/closebtnM_2.png" '#F25757' white "$cross"
title_button "$common/closebtnM_3.png" '#D63C3C' white "$cross"

# --- page background (600x400), four copies of one picture ------------------
# A pale blue wash at the top fading into white, with two soft discs.
# shellcheck disable=SC2086
im -size 600x400 gradient:'#E8F1FF'-'#FFFFFF' \
   \( -size 600x400 xc:none -fill '#1675FE14' -draw "circle 560,30 560,230" \
      -fill '#1675FE0D' -draw "circle 40,380 40,520" \) -composite \
   $stable "$(png32 "$main/bg1.png")"
for n in 2 3 4; do cp "$main/bg1.png" "$main/bg$n.png"; done

# --- logo (307x60): a blue rounded mark and the product name ---------------
# shellcheck disable=SC2086
im -size 307x60 xc:none \
   -fill "$accent" -draw "roundrectangle 38,6 85,53 12,12" \
   -fill white -draw "rectangle 50,16 73,22 rectangle 58,16 65,44" \
   $(font_opt "$latin_font") -pointsize 30 -fill "$ink" -annotate +96+41 'Tarnwick' \
   $stable "$(png32 "$main/logo.png")"

# --- big buttons (234x50): normal, hot, pushed ------------------------------
big_button() { # <file> <colour>
  # shellcheck disable=SC2086
  im -size 234x50 xc:none -fill "$2" -draw "roundrectangle 0,0 233,49 8,8" \
     $stable "$(png32 "$1")"
}
big_button "$main/installBtn1.png" "$accent"
big_button "$main/installBtn2.png" "$accent_hot"
big_button "$main/installBtn3.png" "$accent_pushed"
for n in 1 2 3; do cp "$main/installBtn$n.png" "$main/experienceBtn$n.png"; done

# --- back button (64x30): an arrow in an outlined pill ----------------------
back_button() { # <file> <fill> <stroke>
  # shellcheck disable=SC2086
  im -size 64x30 xc:none \
     -fill "$2" -stroke "$3" -strokewidth 1 -draw "roundrectangle 0.5,0.5 63.5,29.5 14,14" \
     -fill none -stroke "$3" -strokewidth 2 \
     -draw "polyline 30,9 24,15 30,21 line 25,15 40,15" \
     $stable "$(png32 "$1")"
}
back_button "$main/backBtn1.png" '#FFFFFFB0' "$glyph"
back_button "$main/backBtn2.png" white "$accent"
back_button "$main/backBtn3.png" '#E8F1FF' "$accent_pushed"

# --- folder button (80x40) ---------------------------------------------------
small_button() { # <file> <colour>
  # shellcheck disable=SC2086
  im -size 80x40 xc:none -fill "$2" -draw "roundrectangle 0,2 79,37 6,6" \
     $stable "$(png32 "$1")"
}
small_button "$main/chDirBtn1.png" "$accent"
small_button "$main/chDirBtn2.png" "$accent_hot"
small_button "$main/chDirBtn3.png" "$accent_pushed"

# --- custom-install arrow (16x16, palette) -----------------------------------
arrow() { # <file> <colour>
  # shellcheck disable=SC2086
  im -size 16x16 xc:none -fill none -stroke "$2" -strokewidth 1.8 \
     -draw "polyline 4,6 8,10 12,6" $stable "PNG8:$1"
}
arrow "$main/customeBtn1.png" "$glyph"
arrow "$main/customeBtn2.png" "$accent"

# --- check box (15x14): clear and set ----------------------------------------
# shellcheck disable=SC2086
im -size 15x14 xc:none -fill white -stroke '#B8C2D1' -strokewidth 1 \
   -draw "roundrectangle 0.5,0.5 13.5,12.5 2,2" $stable "$(png32 "$main/Cb1.png")"
# shellcheck disable=SC2086
im -size 15x14 xc:none -fill "$accent" -stroke "$accent" -strokewidth 1 \
   -draw "roundrectangle 0.5,0.5 13.5,12.5 2,2" \
   -fill none -stroke white -strokewidth 1.6 -draw "polyline 3.5,6.5 6,9 10.5,4" \
   $stable "$(png32 "$main/Cb2.png")"

# --- folder edit box (340x36) ------------------------------------------------
# shellcheck disable=SC2086
im -size 340x36 xc:none -fill white -stroke '#D0D7E2' -strokewidth 1 \
   -draw "roundrectangle 0.5,0.5 339.5,35.5 4,4" $stable "$(png32 "$main/installDirEdit.png")"

# --- progress bar: track (410x8) and fill (305x8) ---------------------------
# shellcheck disable=SC2086
im -size 410x8 xc:none -fill '#E3EAF5' -draw "roundrectangle 0,0 409,7 4,4" \
   $stable "$(png32 "$main/installPrg1.png")"
# shellcheck disable=SC2086
im -size 305x8 gradient:'#6AAAFF'-"$accent" -rotate 90 -resize '305x8!' \
   \( -size 305x8 xc:black -fill white -draw "roundrectangle 0,0 304,7 4,4" \) \
   -alpha off -compose CopyOpacity -composite $stable "$(png32 "$main/installPrg2.png")"

# --- finished mark (40x40) ---------------------------------------------------
# shellcheck disable=SC2086
im -size 40x40 xc:none -fill "$accent" -draw "circle 19.5,19.5 19.5,0.5" \
   -fill none -stroke white -strokewidth 3 -draw "polyline 11,20 17,26 29,14" \
   $stable "$(png32 "$main/finished.png")"

# --- agreement tip (120x36): a bubble that points at the check box ---------
# shellcheck disable=SC2086
im -size 120x36 xc:none -fill '#1F2D3DE6' \
   -draw "roundrectangle 0,0 119,29 4,4" -draw "polygon 12,29 20,29 16,35" \
   $(font_opt "$cjk_font") -pointsize 12 -fill white -annotate +10+19 '请先同意用户协议' \
   $stable "$(png32 "$main/tipLbl.png")"

# --- dialog icons (40x40) ----------------------------------------------------
# shellcheck disable=SC2086
im -size 40x40 xc:none -fill "$accent" -draw "circle 19.5,19.5 19.5,0.5" \
   $(font_opt "$latin_font") -pointsize 26 -fill white -gravity center -annotate +0+1 '?' \
   $stable "$(png32 "$box/icoQuest.png")"
# shellcheck disable=SC2086
im -size 40x40 xc:none -fill '#FA8C16' -draw "circle 19.5,19.5 19.5,0.5" \
   -fill none -stroke white -strokewidth 2.6 \
   -draw "stroke-linecap round stroke-linejoin round polyline$(arc_points 20 28 13 225 315 8)" \
   -draw "stroke-linecap round stroke-linejoin round polyline$(arc_points 20 28 7.5 225 315 6)" \
   -stroke none -fill white -draw "circle 20,27.5 20,25" \
   $stable "$(png32 "$box/icoNetwork.png")"
# shellcheck disable=SC2086
im -size 40x40 xc:none -fill '#FAAD14' -draw "roundrectangle 0,0 39,39 20,20" \
   -fill white -draw "roundrectangle 18,8 22,24 2,2" -draw "circle 20,30 20,27.8" \
   $stable "$(png32 "$box/icoWarn.png")"

# --- progress animation: 25 frames of a turning arc (160x160) ---------------
# A quarter-and-a-bit arc sweeps once round a pale ring over the 25 frames;
# the arc breathes a little in length so the motion does not look mechanical.
frame=0
while [ $frame -lt 25 ]; do
  start=$(awk -v f=$frame 'BEGIN { printf "%.4f", f * 360 / 25 - 90 }')
  end=$(awk -v f=$frame -v s="$start" 'BEGIN { printf "%.4f", s + 100 + 40 * sin(f * 2 * 3.14159265358979 / 25) }')
  points=$(arc_points 80 80 56 "$start" "$end" 32)
  name=$(printf '%03d.png' $frame)
  # shellcheck disable=SC2086
  im -size 160x160 xc:none \
     -fill none -stroke '#E3EDFF' -strokewidth 10 -draw "circle 80,80 80,24" \
     -stroke "$accent" -strokewidth 10 -draw "fill none stroke-linecap round stroke-linejoin round polyline$points" \
     $stable "$(png32 "$anim/$name")"
  frame=$((frame + 1))
done
