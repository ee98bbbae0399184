#!/bin/sh
# Installs the build into a temporary DESTDIR, as a package build would, and
# checks that the program, its desktop entry, icon and metainfo land in the
# freedesktop places with the committed contents.
# Usage: check_install.sh CMAKE BUILD_DIR RESOURCES_DIR
set -eu
cmake=$1
build=$2
resources=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

DESTDIR="$work" "$cmake" --install "$build" --prefix /usr >"$work/install.log" 2>&1 || {
    cat "$work/install.log"; echo "FAIL: cmake --install failed"; exit 1; }
root="$work/usr"

status=0
expect_copy() { # installed path, committed file
    if [ ! -f "$root/$1" ]; then
        echo "FAIL: $1 not installed"
        status=1
    elif ! cmp -s "$root/$1" "$resources/$2"; then
        echo "FAIL: installed $1 differs from resources/$2"
        status=1
    fi
}
expect_copy share/applications/tallowick.desktop tallowick.desktop
expect_copy share/icons/hicolor/32x32/apps/tallowick.png tallowick.png
expect_copy share/metainfo/example.velmora.Tallowick.metainfo.xml tallowick.metainfo.xml

if [ ! -x "$root/bin/tallowick" ]; then
    echo "FAIL: bin/tallowick not installed as an executable"
    status=1
fi
[ "$status" -eq 0 ] && echo "PASS: install puts the program and its desktop files in place"
exit "$status"
