#!/usr/bin/env bash
# The README's run command as a new user meets it on a machine with no
# display: scripts/run.sh, not interactive, in a fresh Wine prefix. Three
# runs; each must save a screenshot in which the window shows, centred on
# the screen: its list white inside, the rest of the screen not.
# Usage: headless_run_test.sh SOURCE_DIR OUT_DIR
set -euo pipefail
source_dir=$1
out=$2
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The client area (372x219) centred on the 1024x768 screen; the list's
# inside, clear of its frame.
list_inside="240x180+336+284"
screen_corner="100x100+0+0"
value() { identify -format "$2" "$1" 2>/dev/null; }

for run in 1 2 3; do
    log="$work/run$run.log"
    status=0
    (cd "$source_dir" && env -u DISPLAY -u WAYLAND_DISPLAY WINEPREFIX="$work/prefix$run" \
        scripts/run.sh </dev/null >"$log" 2>&1) || status=$?
    [ "$status" -eq 0 ] || { cat "$log"; echo "FAIL: run $run: scripts/run.sh ended with status $status"; exit 1; }
    screenshot=$(sed -n 's/^Saved a screenshot of the window to //p' "$log")
    [ -f "$screenshot" ] || { cat "$log"; echo "FAIL: run $run: no screenshot named"; exit 1; }
    cp "$screenshot" "$out/headless-run$run.png"
    shot="$out/headless-run$run.png"
    # %k: the number of colours; %[min]: the darkest value, 1 for white.
    if [ "$(value "$shot" '%k')" -le 1 ]; then
        echo "FAIL: run $run: the screenshot is blank (one colour): $shot"; exit 1
    fi
    if [ "$(value "$shot[$list_inside]" '%[fx:minima]')" != 1 ]; then
        echo "FAIL: run $run: no white list where the window's list should be: $shot"; exit 1
    fi
    if [ "$(value "$shot[$screen_corner]" '%[fx:maxima]')" = 1 ]; then
        echo "FAIL: run $run: the screen's corner is white too: $shot"; exit 1
    fi
done
echo "PASS: scripts/run.sh without a display showed the window 3 times out of 3; screenshots in $out"
