# A virtual X display (Xvfb) with a window manager (openbox) on it, for
# scripts/run.sh and the end-to-end tests. Source it, then:
#
#   start_virtual_display DIR   Xvfb on a free display; exports DISPLAY
#   start_window_manager DIR    openbox on it, waited for up to 30 s
#
# Each keeps its output in DIR (xvfb.log, openbox.log) and sets xvfb_pid or
# wm_pid; stopping them is the caller's.

# Xvfb picks a free display and writes its number once it takes clients.
start_virtual_display() {
    local dir=$1
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$dir/display" >"$dir/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$dir/display" ] && break
        sleep 0.1
    done
    if ! [ -s "$dir/display" ]; then
        echo "the virtual display (Xvfb) did not start:" >&2
        sed 's/^/    /' "$dir/xvfb.log" >&2
        return 1
    fi
    DISPLAY=":$(head -n 1 "$dir/display")"
    export DISPLAY
}

# A running EWMH window manager names its check window on the root window.
window_manager_running() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# The first start on a new machine can be slow (openbox and fontconfig build
# their caches), so it gets 30 s. Without a window manager the X server still
# maps windows, so its absence is said, with its output, and is no failure:
# the status is 1 and the caller goes on.
start_window_manager() {
    local dir=$1
    openbox >"$dir/openbox.log" 2>&1 &
    wm_pid=$!
    for _ in $(seq 300); do
        window_manager_running && return 0
        kill -0 "$wm_pid" 2>/dev/null || break
        sleep 0.1
    done
    window_manager_running && return 0
    local what="is not running after 30 seconds"
    kill -0 "$wm_pid" 2>/dev/null || what="ended without managing the screen"
    echo "The window manager (openbox) $what; the window is shown without one. Its output:" >&2
    if [ -s "$dir/openbox.log" ]; then sed 's/^/    /' "$dir/openbox.log" >&2; else echo "    (none)" >&2; fi
    return 1
}
