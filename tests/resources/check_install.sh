#!/bin/sh
# Installs the build into a temporary DESTDIR, as a package build would, and
# checks that the program, its desktop entry, icons, metainfo, manual page
# and documents land in their places, the committed ones unchanged.
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
expect_copy share/icons/hicolor/scalable/apps/tallowick.svg tallowick.svg
expect_copy share/metainfo/example.velmora.Tallowick.metainfo.xml tallowick.metainfo.xml

for file in share/man/man1/tallowick.1.gz share/doc/tallowick/copyright share/doc/tallowick/changelog.gz \
    share/icons/hicolor/32x32/apps/tallowick.png share/icons/hicolor/256x256/apps/tallowick.png; do
    [ -s "$root/$file" ] || { echo "FAIL: $file not installed"; status=1; }
done
if [ ! -x "$root/bin/tallowick" ]; then
    echo "FAIL: bin/tallowick not installed as an executable"
    status=1
fi
[ "$status" -eq 0 ] && echo "PASS: install puts the program and its desktop files in place"
exit "$status"
