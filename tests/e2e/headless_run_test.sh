#!/usr/bin/env bash
# The README's run command as a new user meets it on a machine with no
# display: scripts/run.sh, not interactive, in a fresh Wine prefix. Three
# runs; each must save a screenshot in which the window shows, centred on
# the screen: its list white inside, the rest of the screen not.
# Run 2 is a normal user's (nobody, through setpriv, when this is root) in
# its own copy of the sources: install-deps asks it for no root. In run 3
# openbox never starts, and run.sh must say so and show the window anyway.
# Then the program itself, from a terminal with no display.
# Usage: headless_run_test.sh SOURCE_DIR OUT_DIR PROGRAM VERSION
set -euo pipefail
source_dir=$1
out=$2
program=$3
version=$4
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# The client area (372x219) centred on the 1024x768 screen; the list's
# inside, clear of its frame.
list_inside="240x180+336+284"
screen_corner="100x100+0+0"
value() { identify -format "$2" "$1" 2>/dev/null; }

headless_run() { # run number, source folder, command that starts run.sh's environment...
    local run=$1 folder=$2 log="$work/run$1.log" status=0
    shift 2
    (cd "$folder" && "$@" env -u DISPLAY -u WAYLAND_DISPLAY WINEPREFIX="$work/prefix$run" \
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
}

headless_run 1 "$source_dir"

chmod 755 "$work"
mkdir -p "$work/user/source" "$work/user/home"
tar -C "$source_dir" --exclude=./build --exclude=./.git -cf - . | tar -C "$work/user/source" -xf -
as_user=(env)
if [ "$(id -u)" -eq 0 ]; then
    chown -R nobody:nogroup "$work/user"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups env)
fi
headless_run 2 "$work/user/source" "${as_user[@]}" HOME="$work/user/home"

mkdir "$work/broken"
printf '#!/bin/sh\necho "openbox: this one never starts" >&2\nexit 1\n' >"$work/broken/openbox"
chmod +x "$work/broken/openbox"
headless_run 3 "$source_dir" env PATH="$work/broken:$PATH"
grep -q 'openbox) ended without managing the screen; the window is shown without one' "$work/run3.log" &&
    grep -q '    openbox: this one never starts' "$work/run3.log" || { cat "$work/run3.log"; fail "run 3: openbox unreported"; }

started() { # expected status, command...; its output in $work/out and $work/err
    local expected=$1 status=0
    shift
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM WINEPREFIX="$work/prefix1" "$@" \
        >"$work/out" 2>"$work/err" || status=$?
    [ "$status" -eq "$expected" ] || fail "$*: status $status, not $expected; stderr: $(cat "$work/err")"
}
started 0 "$program" --help
grep -q '^Usage: tallowick' "$work/out" && grep -q '^  WINEPREFIX ' "$work/out" && ! [ -s "$work/err" ] ||
    fail "--help printed: $(cat "$work/out" "$work/err")"
started 0 "$program" --version
[ "$(cat "$work/out")" = "tallowick $version" ] || fail "--version printed: $(cat "$work/out")"
started 2 "$program" --no-such-option
! [ -s "$work/out" ] && grep -q "^tallowick: unknown option '--no-such-option'" "$work/err" &&
    grep -q '^Usage: tallowick' "$work/err" || fail "an unknown option printed: $(cat "$work/out" "$work/err")"
for display in "" :4242; do
    started 1 env ${display:+DISPLAY=$display} "$program"
    [ "$(wc -l <"$work/err")" -eq 1 ] && grep -q 'no display.*DISPLAY' "$work/err" ||
        fail "with DISPLAY '$display' it printed: $(cat "$work/out" "$work/err")"
done
started 124 timeout 3 "$program" -platform offscreen
echo "PASS: scripts/run.sh without a display showed the window 3 times out of 3; screenshots in $out"
echo "PASS: with no display: --help, --version, an unknown option, the no-display line, -platform offscreen"
