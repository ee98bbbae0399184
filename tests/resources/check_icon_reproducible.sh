#!/bin/sh
# Runs the icon generator into a fresh folder and compares its output with the
# committed files byte for byte: the committed icon must be what the
# generator draws, so a change to one without the other is caught.
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

# The generator refuses a missing output folder instead of pretending to succeed.
if "$generator" "$work/no/such/folder" 2>/dev/null; then
    echo "FAIL: generator reported success writing into a missing folder"
    status=1
fi
[ "$status" -eq 0 ] && echo "PASS: generated icon files match the committed ones"
exit "$status"
