#!/usr/bin/env bash
# Builds Tallowick for Linux and starts it. Drive C: is the Wine prefix's
# ($WINEPREFIX, else ~/.wine). Without a display it runs on Xvfb with a window
# manager (or without one, saying so, if none starts) and saves a screenshot
# of the screen with the window on it; it fails, saying why in one line, if
# the window does not appear.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh linux
cmake --preset linux >/dev/null
cmake --build --preset linux --target tallowick

program=build/linux/platform/qt/tallowick

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$program"
fi

screenshot="$PWD/build/tallowick-screenshot.png"
echo "No display found: running Tallowick on a virtual display (Xvfb); screenshot: $screenshot"

# Each step waits for the one before it to be ready: the X server, then the
# window manager (a window mapped before it runs may stay unmapped), then
# the window, shown and painted. Their output stays in build/virtual-display.
logs="$PWD/build/virtual-display"
mkdir -p "$logs"
fail() { echo "run.sh: $*" >&2; exit 1; }
wait_until() { # tenths of a second, command...
    local tenths=$1
    shift
    for _ in $(seq "$tenths"); do "$@" && return 0; sleep 0.1; done
    return 1
}
# On exit the program goes first, the X server last.
pids=()
stop_all() {
    local i
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null && wait "${pids[i]}" 2>/dev/null
    done
}
trap 'stop_all || true' EXIT

# shellcheck source=scripts/virtual-display.sh
. scripts/virtual-display.sh
start_virtual_display "$logs" || fail "the virtual display (Xvfb) did not start"
pids+=("$xvfb_pid")
display=$DISPLAY
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    XDG_RUNTIME_DIR=$(mktemp -d)
    export XDG_RUNTIME_DIR
fi
start_window_manager "$logs" || true
pids+=("$wm_pid")

"$program" &
program_pid=$!
pids+=("$program_pid")
window=""
window_viewable() {
    kill -0 "$program_pid" 2>/dev/null || return 1
    window=$(xdotool search --onlyvisible --name '^Tallowick$' 2>/dev/null | head -n 1)
    [ -n "$window" ] && xwininfo -id "$window" 2>/dev/null | grep -q 'Map State: IsViewable'
}
if ! wait_until 200 window_viewable; then
    kill -0 "$program_pid" 2>/dev/null || fail "Tallowick ended before its window appeared"
    fail "the Tallowick window did not appear on the virtual display within 20 seconds (its output: $logs)"
fi

# The screen, once the window's area on it holds more than one colour and
# two screenshots in a row show the same: the window is drawn, and done
# drawing.
read -r left top width height < <(xwininfo -id "$window" |
    awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} /Width:/ {w=$NF} /Height:/ {h=$NF}
         END {print x, y, w, h}')
rm -f "$screenshot"
window_drawn() {
    local previous=$screenshot.previous
    [ ! -f "$screenshot" ] || mv "$screenshot" "$previous"
    import -window root "$screenshot" 2>/dev/null &&
        [ "$(identify -format '%k' "$screenshot[${width}x${height}+${left}+${top}]" 2>/dev/null)" -gt 1 ] &&
        [ -f "$previous" ] && [ "$(compare -metric AE "$previous" "$screenshot" null: 2>&1)" = 0 ]
}
wait_until 50 window_drawn || fail "the Tallowick window appeared but was never drawn"
rm -f "$screenshot.previous"
echo "Saved a screenshot of the window to $screenshot"

if [ -t 0 ]; then
    echo "Tallowick is running on $display; press Ctrl+C to stop it."
    wait "$program_pid" || true
fi
