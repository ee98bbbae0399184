#!/bin/sh
# Runs the icon generator into a fresh folder and compares its output with the
# committed files byte for byte: the committed icon must be what the
# generator draws, so a change to one without the other is caught. Then the
# icon theme's files: the svg must show the picture that the pngs show.
# Usage: check_icon_reproducible.sh GENERATOR RESOURCES_DIR
set -eu
generator=$1
resources=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$generator" "$work"
status=0
for file in tallowick.ico tallowick.png; do
    if ! cmp "$work/$file" "$resources/$file"; then
        echo "FAIL: $file differs from what the generator draws (build target regenerate-icon, then commit)"
        status=1
    fi
done

# The theme's 32x32 is the committed png. The svg, drawn by librsvg at 256
# pixels, must match the png drawn at 256 but at the edges, which one blends
# and the other cuts; a png scaled up from a smaller size differs from it in
# five times as many pixels.
mkdir "$work/hicolor"
"$generator" --hicolor "$work/hicolor"
cmp "$work/hicolor/32x32/apps/tallowick.png" "$resources/tallowick.png" ||
    { echo "FAIL: the theme's 32x32 icon is not tallowick.png"; status=1; }
rsvg-convert -w 256 -h 256 "$work/hicolor/scalable/apps/tallowick.svg" -o "$work/svg256.png" ||
    { echo "FAIL: the svg cannot be drawn (rsvg-convert: Debian package librsvg2-bin)"; exit 1; }
differing=$(compare -metric AE -fuzz 25% "$work/svg256.png" "$work/hicolor/256x256/apps/tallowick.png" \
    "$work/difference.png" 2>&1 || true)
if ! [ "$differing" -le 655 ] 2>/dev/null; then
    echo "FAIL: the svg and the 256x256 png differ in $differing pixels (1% is 655)"
    status=1
fi

# The generator refuses a missing output folder instead of pretending to succeed.
for mode in "" --hicolor; do
    if "$generator" $mode "$work/no/such/folder" 2>/dev/null; then
        echo "FAIL: generator $mode reported success writing into a missing folder"
        status=1
    fi
done
[ "$status" -eq 0 ] && echo "PASS: generated icon files match the committed ones; the svg matches the 256x256 png but for $differing edge pixels"
exit "$status"
