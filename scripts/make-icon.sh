#!/usr/bin/env bash
# Draws the program icon (a note with a bell) with ImageMagick and writes resources/tavrel-*.png.
# The PNGs and the .ico are committed; rerun this only to change the drawing.
set -euo pipefail
cd "$(dirname "$0")/../resources"
convert -size 256x256 xc:none \
    -fill '#1f5fa8' -draw 'roundrectangle 16,16 240,240 40,40' \
    -fill '#fdf6d8' -draw 'polygon 58,50 198,50 198,170 158,210 58,210' \
    -fill '#e6d9a2' -draw 'polygon 158,210 198,170 158,170' \
    -stroke '#b9ab74' -strokewidth 8 -draw 'line 80,90 176,90' -draw 'line 80,122 150,122' \
    -stroke none -fill '#f0a020' \
    -draw 'path "M 128,132 C 100,132 96,160 94,186 L 162,186 C 160,160 156,132 128,132 Z"' \
    -draw 'rectangle 86,184 170,196' -draw 'circle 128,204 128,212' \
    -fill '#c0392b' -draw 'circle 190,58 190,76' \
    tavrel-256.png
for s in 16 32 48 64 128; do convert tavrel-256.png -resize ${s}x${s} tavrel-$s.png; done
# The Windows executable carries the icon in this form (resources/tavrel.rc).
convert tavrel-16.png tavrel-32.png tavrel-48.png tavrel-256.png tavrel.ico
