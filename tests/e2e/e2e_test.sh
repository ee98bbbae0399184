#!/usr/bin/env bash
# End to end: Tallowick on Xvfb + openbox over a temporary prefix. Find, then
# Delete must leave exactly the files that are not cookies; About opens and
# closes; Close ends the program.
set -euo pipefail
program=$1
out=$2
mkdir -p "$out"

work=$(mktemp -d)
prefix="$work/prefix"
cleanup() {
    kill "${program_pid:-}" "${wm_pid:-}" "${xvfb_pid:-}" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; import -display "$DISPLAY" -window root "$out/e2e-failure.png" 2>/dev/null || true; exit 1; }

mkdir -p "$prefix/drive_c" "$prefix/dosdevices"
ln -s ../drive_c "$prefix/dosdevices/c:"
c="$prefix/drive_c"
cookie_files=(
    "windows/Cookies/user@site[1].txt"
    "windows/Cookies/old.txt.bak"
    "windows/Profiles/alice/Cookies/alice@bank[2].txt"
    "windows/Temporary Internet Files/Content.IE5/cookies/z.txt"
    "winnt/Profiles/bob/Cookies/bob@shop[1].txt"
)
other_files=(
    "windows/Cookies/index.dat"
    "windows/Cookies/UPPER.TXT"
    "windows/Profiles/alice/notes.txt"
    "windows/Profiles/alice/Cookies/deeper/x.txt"
    "windows/system/cookies/y.txt"
    "winnt/Profiles/bob/Cookies/index.dat"
)
for f in "${cookie_files[@]}" "${other_files[@]}"; do
    mkdir -p "$c/$(dirname "$f")"
    echo "$f" > "$c/$f"
done
# Everything in the prefix but the cookie files stays, folders and links too.
listing() { (cd "$prefix" && find . | sed 's|^\./||' | LC_ALL=C sort); }
expected_after=$(listing | grep -v -x -F -f <(for f in "${cookie_files[@]}"; do echo "drive_c/$f"; done))

display=":$((200 + $$ % 400))"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || fail "Xvfb did not start"
openbox >/dev/null 2>&1 &
wm_pid=$!
sleep 0.5

WINEPREFIX="$prefix" "$program" &
program_pid=$!

wait_for_window() { # name → window id
    local id=""
    for _ in $(seq 100); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1) && [ -n "$id" ] && break
        sleep 0.1
    done
    [ -n "$id" ] || fail "no window named '$1'"
    echo "$id"
}
click() { # window x y (client coordinates)
    xdotool mousemove --window "$1" "$2" "$3" click 1
    sleep 0.3
}

main=$(wait_for_window Tallowick)
geometry=$(xdotool getwindowgeometry "$main" | awk '/Geometry/ {print $2}')
[ "$geometry" = "372x219" ] || fail "main window is $geometry, not 372x219"
sleep 0.3

# Button centres from the stored layout: column at x 272..369, rows 40 px apart.
click "$main" 320 40   # Find Cookies
import -window root "$out/e2e-listed.png"
click "$main" 320 80   # Delete Cookies
after=$(listing)
[ "$after" = "$expected_after" ] || fail "the prefix after Delete differs:
$(diff <(echo "$expected_after") <(echo "$after"))"

click "$main" 320 160  # About
about=$(wait_for_window About)
geometry=$(xdotool getwindowgeometry "$about" | awk '/Geometry/ {print $2}')
[ "$geometry" = "312x198" ] || fail "About window is $geometry, not 312x198"
import -window root "$out/e2e-about.png"
click "$about" 164 180  # About's Close
for _ in $(seq 50); do xdotool search --onlyvisible --name '^About$' >/dev/null 2>&1 || break; sleep 0.1; done
! xdotool search --onlyvisible --name '^About$' >/dev/null 2>&1 || fail "About did not close"
kill -0 "$program_pid" 2>/dev/null || fail "closing About ended the program"

click "$main" 320 120  # Close
for _ in $(seq 50); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$program_pid" 2>/dev/null && fail "Close did not end the program"
wait "$program_pid" || fail "the program exited with status $?"
program_pid=""
echo "e2e: Find, Delete, About and Close behaved; screenshots in $out"
