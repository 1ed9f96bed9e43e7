#!/usr/bin/env bash
# Regenerates the program's icon and cursor in res/ (committed; run only to change them).
# Needs ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/../res"

# Icon 1010: a dark panel with one period of a green waveform.
points=""
for x in $(seq 4 27); do
    y=$(awk -v x="$x" 'BEGIN { printf "%d", 16 - 9 * sin((x - 4) * 6.2832 / 23) }')
    points="$points $x,$y"
done
convert -size 32x32 xc:none -fill '#102040' -stroke '#8090b0' -draw "roundrectangle 1,3 30,28 4,4" \
    -fill none -stroke '#40ff60' -strokewidth 2 -draw "polyline $points" kelvora.ico

# Cursor 1057: a thin vertical bar with short cross bars, hot spot in the middle.
convert -size 32x32 xc:none -fill black -stroke white -strokewidth 1 \
    -draw "rectangle 15,4 16,27" -draw "rectangle 11,3 20,4" -draw "rectangle 11,27 20,28" \
    PNG32:cursor.png
convert cursor.png cursor.ico
rm cursor.png
# An icon file becomes a cursor file: resource type 2 and the hot spot in place of
# the planes and bit count of the directory entry.
printf '\x02\x00' | dd of=cursor.ico bs=1 seek=2 conv=notrunc status=none
printf '\x10\x00\x10\x00' | dd of=cursor.ico bs=1 seek=10 conv=notrunc status=none
mv cursor.ico wave.cur
