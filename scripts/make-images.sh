#!/usr/bin/env bash
# Regenerates the program's icon, cursor, bitmaps and the About box's sound
# in res/ (committed; run only to change them).
# Needs ImageMagick and SoX.
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

# Bitmaps: 16-colour BMP files drawn with the standard 16-colour palette, hard
# edges (no antialiasing, no dither) so every pixel is a palette colour.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
palette=()
for c in 000000 800000 008000 808000 000080 800080 008080 C0C0C0 \
         808080 FF0000 00FF00 FFFF00 0000FF FF00FF 00FFFF FFFFFF; do
    palette+=("xc:#$c")
done
convert "${palette[@]}" +append "$work/palette.png"
face='#C0C0C0'        # the button face: the pictures' corner pixel gives the button its colour

bmp() {  # picture.png, out.bmp: the picture in the palette as a 4-bit BMP
    # The palette strip goes along while the colours are mapped, so that all
    # sixteen stay in the colour map (a two-colour picture would otherwise be
    # written with 1 bit per pixel); it is cut off again before writing.
    size=$(identify -format '%wx%h' "$1")
    convert "$1" -alpha off "$work/palette.png" -background "$face" -append +dither \
        -remap "$work/palette.png" -type Palette -crop "$size+0+0" +repage BMP3:"$2"
}

# A triangle of columns, each 2 pixels shorter than the one before, so that
# both edges step evenly: base column at x, pointing right (+1) or left (-1),
# 15 pixels tall around row 15.
triangle() {  # x, direction
    local k
    for k in $(seq 0 7); do
        echo -n "rectangle $(($1 + $2 * k)),$((8 + k)) $(($1 + $2 * k)),$((22 - k)) "
    done
}

# The transport glyphs on 35x32, black on transparent; record in red.
glyph() {  # name → the MVG drawing of that button's glyph
    case $1 in
    rewind)     echo "fill black $(triangle 16 -1) $(triangle 24 -1)" ;;
    forward)    echo "fill black $(triangle 10 1) $(triangle 18 1)" ;;
    play)       echo "fill black $(triangle 14 1)" ;;
    stop)       echo "fill black rectangle 11,9 23,21" ;;
    record)     echo "fill #FF0000 stroke #800000 ellipse 17.5,15.5 7.5,7.5 0,360" ;;
    fastplay)   echo "fill black $(triangle 18 1) rectangle 8,10 14,11 rectangle 6,14 14,16 rectangle 8,19 14,20" ;;
    volume)     echo "fill black rectangle 7,12 10,18 polygon 11,12 16,7 16,23 11,18
                      fill none stroke black arc 12,11 22,19 -55,55 arc 12,7 27,23 -55,55" ;;
    drag)       echo "fill white stroke black polygon 6,3 19,3 23,7 23,27 6,27 6,3
                      fill none polyline 19,3 19,7 23,7
                      stroke #000080 polyline 8,15 9,12 10,18 11,10 12,20 13,12 14,17 15,13 16,16 17,14 18,15 19,14
                      fill white stroke black polygon 20,16 20,28 23,25 25,30 27,29 25,24 29,24" ;;
    esac
}

names=(rewind forward play stop record fastplay volume drag)
for i in "${!names[@]}"; do
    name=${names[$i]}
    convert -size 35x32 xc:none +antialias -draw "$(glyph "$name")" "$work/glyph.png"
    convert -size 35x32 xc:"$face" "$work/glyph.png" -composite "$work/normal.png"
    # Disabled: the dark parts of the glyph in grey over a white copy one
    # pixel down and right, as engraved; light parts vanish into the face.
    convert "$work/glyph.png" \( +clone -alpha extract \) \
        \( -clone 0 -alpha off -colorspace gray -threshold 60% -negate \) \
        -delete 0 -compose multiply -composite "$work/mask.png"
    convert -size 35x32 xc:white "$work/mask.png" -alpha off -compose copy_opacity -composite "$work/white.png"
    convert -size 35x32 xc:'#808080' "$work/mask.png" -alpha off -compose copy_opacity -composite "$work/grey.png"
    convert -size 35x32 xc:"$face" "$work/white.png" -geometry +1+1 -composite \
        "$work/grey.png" -geometry +0+0 -composite "$work/disabled.png"
    bmp "$work/normal.png" "button_$name.bmp"
    bmp "$work/disabled.png" "button_${name}_off.bmp"
done

# Bitmap 1020, the sound object's picture: a page holding a waveform, with a
# loudspeaker at its foot.
convert -size 32x32 xc:"$face" +antialias -draw "fill white stroke black polygon 5,1 20,1 26,7 26,30 5,30 5,1
        fill none polyline 20,1 20,7 26,7
        stroke #0000FF polyline 7,14 8,11 9,17 10,8 11,20 12,10 13,18 14,12 15,16 16,9 17,21 18,11 19,17 20,13 21,15 22,14 23,15 24,14
        stroke black fill black rectangle 8,24 9,27 polygon 10,24 13,22 13,29 10,27
        fill none arc 11,22 17,29 -50,50" "$work/sound.png"
bmp "$work/sound.png" sound.bmp

# Sound 1061, played by the About box: a short rising chime, 8-bit mono.
sox -D -n -r 11025 -b 8 -c 1 about.wav synth 0.3 sine 660:990 fade 0 0.3 0.25 vol 0.4
