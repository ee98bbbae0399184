#!/usr/bin/env bash
# End to end: Tallowick on Xvfb + openbox over a temporary prefix, on a
# private D-Bus session with the accessibility bus enabled, as a desktop with
# a screen reader has it. screen_reader.py clicks the buttons and reads the
# window through AT-SPI: Find, a deletion that fails, Delete, About. Delete
# must leave exactly the files that are not cookies; Close ends the program.
set -euo pipefail
if [ -z "${TALLOWICK_E2E_PRIVATE_BUS:-}" ]; then
    TALLOWICK_E2E_PRIVATE_BUS=1 exec dbus-run-session -- "$0" "$@"
fi
program=$1
out=$2
mkdir -p "$out"
here=$(dirname "$0")

work=$(mktemp -d)
prefix="$work/prefix"
cleanup() {
    kill "${program_pid:-}" "${wm_pid:-}" "${xvfb_pid:-}" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; import -display "${DISPLAY:-}" -window root "$out/e2e-failure.png" 2>/dev/null || true; exit 1; }

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

# shellcheck source=scripts/virtual-display.sh
. "$here/../../scripts/virtual-display.sh"
start_virtual_display "$work" || fail "Xvfb did not start"
# What a desktop does when accessibility is switched on: toolkits then join
# the accessibility bus.
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
    org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled variant:boolean:true \
    >/dev/null || fail "the accessibility bus does not start"
start_window_manager "$work" || true

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

main=$(wait_for_window Tallowick)
geometry=$(xdotool getwindowgeometry "$main" | awk '/Geometry/ {print $2}')
[ "$geometry" = "372x219" ] || fail "main window is $geometry, not 372x219"

/usr/bin/python3 "$here/screen_reader.py" "$c" "${cookie_files[@]}" || fail "read through AT-SPI"
import -window root "$out/e2e-after.png"
after=$(listing)
[ "$after" = "$expected_after" ] || fail "the prefix after Delete differs:
$(diff <(echo "$expected_after") <(echo "$after"))"

xdotool mousemove --window "$main" 320 120 click 1  # Close, from the stored layout
for _ in $(seq 50); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$program_pid" 2>/dev/null && fail "Close did not end the program"
wait "$program_pid" || fail "the program exited with status $?"
program_pid=""
echo "e2e: Find, a failed deletion, Delete and About read through AT-SPI; Close ended the program; screenshot in $out"
