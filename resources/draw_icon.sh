#!/bin/sh
# Draws the committed icon files from tallowick.svg into FOLDER (resources/
# itself to update them, through the build target regenerate-icon):
#   tallowick.ico, for the Windows executable: 32x32 and 16x16 in 32-bit
#     colour and a 32x32 16-colour image for displays that cannot show true
#     colour, all BMP images with an AND mask, so 95-era shells can read it;
#   tallowick.png, the Linux windows' own, the same 32x32 image.
# Those shells draw with the mask alone, so every pixel is either opaque or
# transparent black. Needs rsvg-convert (librsvg2-bin) and convert
# (imagemagick). Usage: draw_icon.sh FOLDER
set -eu
picture=$(dirname "$0")/tallowick.svg
out=${1:?usage: draw_icon.sh FOLDER}
[ -d "$out" ] || { echo "draw_icon.sh: no folder $out" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for size in 32 16; do
    rsvg-convert -w "$size" -h "$size" -o "$work/soft$size.png" "$picture"
    convert "$work/soft$size.png" -channel A -threshold 50% +channel \
        -background black -alpha background "PNG32:$work/$size.png"
done
convert "$work/32.png" "$work/16.png" \( "$work/32.png" +dither -colors 16 \) "$out/tallowick.ico"
# No time chunks: the same picture gives the same bytes.
convert "$work/32.png" -define png:exclude-chunks=date,time "PNG32:$out/tallowick.png"
