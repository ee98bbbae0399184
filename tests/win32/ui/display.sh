#!/usr/bin/env bash
# A display for the window tests: the session's own when there is one,
# otherwise an Xvfb that lives from the fixture's start to its stop, so that
# every test, and the Wine server they share, sees the same display.
#
#   display.sh start STATE          starts Xvfb if DISPLAY is unset
#   display.sh run STATE CMD...     runs CMD on that display
#   display.sh stop STATE [PREFIX]  stops Wine in PREFIX, then that Xvfb
set -euo pipefail

command=${1:?command} state=${2:?state file}
shift 2

case "$command" in
start)
    rm -f -- "$state"
    if [ -n "${DISPLAY:-}" ]; then
        echo "display=$DISPLAY" >"$state"
        exit 0
    fi
    command -v Xvfb >/dev/null || { echo "display.sh: Xvfb is missing (Debian package xvfb)" >&2; exit 1; }
    for number in $(seq 90 140); do
        [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] && continue
        Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        pid=$!
        for _ in $(seq 100); do
            [ -e "/tmp/.X11-unix/X$number" ] && break
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.05
        done
        if [ -e "/tmp/.X11-unix/X$number" ]; then
            printf 'display=:%s\npid=%s\n' "$number" "$pid" >"$state"
            exit 0
        fi
        kill "$pid" 2>/dev/null || true
    done
    echo "display.sh: no Xvfb display could be started" >&2
    exit 1
    ;;
run)
    [ -f "$state" ] || { echo "display.sh: no display started ($state)" >&2; exit 1; }
    DISPLAY=$(sed -n 's/^display=//p' "$state")
    export DISPLAY
    exec "$@"
    ;;
stop)
    prefix=${1:-}
    if [ -n "$prefix" ] && [ -d "$prefix" ]; then
        WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    fi
    if [ -f "$state" ]; then
        pid=$(sed -n 's/^pid=//p' "$state")
        [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
        rm -f -- "$state"
    fi
    ;;
*)
    echo "display.sh: unknown command '$command'" >&2
    exit 2
    ;;
esac
