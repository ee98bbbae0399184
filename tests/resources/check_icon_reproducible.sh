#!/bin/sh
# Runs draw_icon.sh into a fresh folder and compares its output with the
# committed files byte for byte: the committed icon must be what the script
# draws from tallowick.svg, so a change to one without the other is caught.
# Usage: check_icon_reproducible.sh RESOURCES_DIR
set -eu
resources=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

sh "$resources/draw_icon.sh" "$work"
status=0
for file in tallowick.ico tallowick.png; do
    if ! cmp "$work/$file" "$resources/$file"; then
        echo "FAIL: $file differs from what draw_icon.sh draws (build target regenerate-icon, then commit)"
        status=1
    fi
done

# The script refuses a missing output folder instead of pretending to succeed.
if sh "$resources/draw_icon.sh" "$work/no/such/folder" 2>/dev/null; then
    echo "FAIL: draw_icon.sh reported success writing into a missing folder"
    status=1
fi
[ "$status" -eq 0 ] && echo "PASS: the committed icon files are what draw_icon.sh draws from tallowick.svg"
exit "$status"
