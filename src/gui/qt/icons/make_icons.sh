#!/usr/bin/env bash
# Draws the bundled tool-bar images and the program icon with ImageMagick (64 x 64, scaled down).
# The PNGs are committed; run this again only to change a drawing.
set -euo pipefail
cd "$(dirname "$0")"
draw() { # name size drawing...
    local name=$1 size=$2
    shift 2
    convert -size 64x64 xc:none "$@" -resize "${size}x${size}" -strip "PNG32:${name}"
}
floppy=(-fill '#1f3f8f' -stroke '#0b1f4f' -strokewidth 2 -draw 'path "M 6,4 L 50,4 L 60,14 L 60,60 L 6,60 Z"'
        -fill '#f4f4f4' -stroke none -draw 'rectangle 14,6 48,28'
        -fill '#1f3f8f' -draw 'rectangle 18,10 44,12' -draw 'rectangle 18,16 44,18'
        -fill '#b8b8c0' -draw 'rectangle 18,40 48,58' -fill '#1f3f8f' -draw 'rectangle 38,44 43,55')
printer=(-fill '#ffffff' -stroke '#606060' -strokewidth 2 -draw 'rectangle 18,4 46,26'
         -fill '#9a9aa2' -stroke '#404048' -draw 'roundrectangle 4,22 60,48 6,6'
         -fill '#ffffff' -stroke '#606060' -draw 'rectangle 16,40 48,60'
         -stroke '#a0a0a0' -draw 'line 22,48 42,48' -draw 'line 22,54 42,54'
         -fill '#3fbf3f' -stroke none -draw 'circle 52,30 52,33')
question=(-fill '#2f6fcf' -stroke '#1a3f80' -strokewidth 2 -draw 'circle 32,32 32,3'
          -fill '#ffffff' -stroke none -font DejaVu-Sans-Bold -pointsize 46 -gravity center
          -annotate +0+1 '?' -gravity northwest)
spanner=(-fill '#8a8f98' -stroke '#40444c' -strokewidth 2
         -draw 'polygon 8,50 40,18 46,24 14,56' -draw 'circle 47,17 47,3' -draw 'circle 12,52 12,44'
         -fill none -stroke none -draw 'circle 47,17 47,3'
         -fill none -stroke none)
kesp=(-fill '#d8dce4' -stroke '#505868' -strokewidth 2 -draw 'roundrectangle 3,8 61,56 8,8'
      -fill '#3f6fbf' -stroke '#203c70' -draw 'circle 30,32 30,10'
      -fill '#e03c28' -stroke '#802010' -draw 'path "M 30,32 L 30,10 A 22,22 0 0,1 49,21 Z"'
      -fill '#ffffff' -stroke none -draw 'circle 30,32 30,28'
      -fill '#40c040' -draw 'rectangle 52,46 57,50')
# The format plan: three layouts' bars cut in file data, slack, folders and free space.
plan=(-fill '#ffffff' -stroke '#505868' -strokewidth 3 -draw 'rectangle 3,5 60,58' -stroke none
      -fill '#3b6fb6' -draw 'rectangle 9,11 33,22' -draw 'rectangle 9,27 29,38' -draw 'rectangle 9,43 37,54'
      -fill '#e8833a' -draw 'rectangle 33,11 41,22' -draw 'rectangle 29,27 45,38' -draw 'rectangle 37,43 41,54'
      -fill '#6aa84f' -draw 'rectangle 41,11 45,22' -draw 'rectangle 45,27 49,38' -draw 'rectangle 41,43 45,54'
      -fill '#c8c8c8' -draw 'rectangle 45,11 54,22' -draw 'rectangle 49,27 54,38' -draw 'rectangle 45,43 54,54')
draw floppy.png 16 "${floppy[@]}"
draw printer.png 16 "${printer[@]}"
draw plan.png 16 "${plan[@]}"
draw question.png 16 "${question[@]}"
draw spanner.png 16 "${spanner[@]}" -fill none -stroke none -draw 'point 0,0' \
    -channel A -fx 'hypot(i-47,j-5)<8||(i>44&&i<50&&j<17&&j>2)?0:a' +channel
for s in 16 32 48; do draw "kesp-$s.png" "$s" "${kesp[@]}"; done
