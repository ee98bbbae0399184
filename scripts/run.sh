#!/usr/bin/env bash
# Builds Tallowick for Linux and starts it. Drive C: is the Wine prefix's
# ($WINEPREFIX, else ~/.wine). Without a display it runs on Xvfb and saves a
# screenshot of the screen.
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

display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$program_pid" "$wm_pid" "$xvfb_pid" 2>/dev/null || true' EXIT
export DISPLAY="$display"
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    XDG_RUNTIME_DIR=$(mktemp -d)
    export XDG_RUNTIME_DIR
fi
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
wm_pid=$!

"$program" &
program_pid=$!
for _ in $(seq 100); do
    xdotool search --name '^Tallowick$' >/dev/null 2>&1 && break
    sleep 0.1
done
sleep 0.5
import -window root "$screenshot"
echo "Saved a screenshot of the window to $screenshot"

if [ -t 0 ]; then
    echo "Tallowick is running on $display; press Ctrl+C to stop it."
    wait "$program_pid" || true
fi
