#!/usr/bin/env bash
# Draws the tray tool's images and its push sound. The generated files are
# committed; run this again (ImageMagick and sox) to redraw them.
#
#   Image/*.png      compiled into the program (MerivoSiteSystem.qrc)
#   horn.gif         installed as Image/horn.gif beside the program
#   PushSound.wav    installed beside the program
set -euo pipefail
cd "$(dirname "$0")"

# No time stamps in the files, so a redraw changes only what was redrawn.
convert() {
  local out=${*: -1}
  command convert "${@:1:$#-1}" -strip "$out"
}

font=/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc
orange='#ff7a2f'
blue='#2b7cd3'

# The site logo: a rounded orange tile with a white "T". It is the on-line
# tray icon and the popup's title-bar logo (shown at 24 x 24).
logo() {  # logo <fill> <out>
  convert -size 24x24 xc:none -fill "$1" -draw 'roundrectangle 1,1 22,22 5,5' \
    -fill white -draw 'rectangle 6,5 17,8' -draw 'rectangle 10,8 13,19' "$2"
}
logo "$orange" Image/img_tolvan.png
logo '#9a9a9a' Image/offLine.png

# Menu icons (16 x 16): a red power sign for "退出", a green check mark for
# the check items.
convert -size 16x16 xc:none -stroke '#d23b2f' -strokewidth 2 -fill none \
  -draw 'arc 2,3 14,15 -60,240' -draw 'line 8,1 8,8' Image/icon_exit.png
convert -size 16x16 xc:none -stroke '#2e9e3e' -strokewidth 2.4 -fill none \
  -draw 'polyline 3,8 7,12 13,4' Image/icon_selected.png

# The popup's close button (24 x 24): a grey cross, white on red under the
# pointer.
convert -size 24x24 xc:none -stroke '#8c8c8c' -strokewidth 2 \
  -draw 'line 7,7 16,16' -draw 'line 16,7 7,16' Image/btn_cancel_normal.png
convert -size 24x24 xc:none -fill '#e84c3d' -draw 'rectangle 0,0 23,23' \
  -stroke white -strokewidth 2 -draw 'line 7,7 16,16' -draw 'line 16,7 7,16' Image/btn_cancel_hover.png

# The popup's action buttons: "查看详情" (60 x 17) and "重新登录" (94 x 30).
# A style-sheet button shows its background image inside a 2-pixel frame on
# the right and at the bottom, so the drawing leaves those pixels empty.
button() {  # button <size> <radius> <pointsize> <text> <out>
  local w=${1%x*} h=${1#*x}
  convert -size "$1" xc:none -fill "$blue" -draw "roundrectangle 0,0 $((w - 3)),$((h - 3)) $2,$2" \
    -font "$font" -pointsize "$3" -fill white -gravity center -annotate -1-1 "$4" "$5"
}
button 60x17 3 11 '查看详情' Image/ShowDetalInfo.png
button 94x30 4 14 '重新登录' Image/relogin.png

# The horn beside the message (50 x 50, animated): a horn with sound waves
# that grow in three steps.
horn_frame() {  # horn_frame <waves> <out>
  local draw=(-fill "$orange" -draw 'polygon 8,20 16,20 30,10 30,40 16,30 8,30')
  local waves=('ellipse 30,25 6,8 -50,50' 'ellipse 30,25 11,14 -50,50' 'ellipse 30,25 16,20 -50,50')
  local i
  for ((i = 0; i < $1; i++)); do
    draw+=(-stroke "$orange" -strokewidth 2.5 -fill none -draw "${waves[$i]}")
  done
  command convert -size 50x50 xc:white "${draw[@]}" "$2"
}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for n in 0 1 2 3; do horn_frame "$n" "$tmp/horn$n.png"; done
convert -delay 25 -loop 0 "$tmp"/horn0.png "$tmp"/horn1.png "$tmp"/horn2.png "$tmp"/horn3.png horn.gif

# The push sound: a short two-note chime (0.6 s, 22.05 kHz, 16-bit mono).
sox -R -n -r 22050 -c 1 -b 16 "$tmp/high.wav" synth 0.3 sine 1318.5 fade q 0.005 0.3 0.25 vol 0.5
sox -R -n -r 22050 -c 1 -b 16 "$tmp/low.wav" synth 0.3 sine 987.8 fade q 0.005 0.3 0.25 vol 0.5
sox -R "$tmp/high.wav" "$tmp/low.wav" PushSound.wav
