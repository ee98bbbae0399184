#!/bin/sh
# Makes the Debian package from the build as the README says (cpack -G DEB),
# into a temporary folder, and reads it back with dpkg-deb: its name, the
# files it installs, its fields, and the dependencies that dpkg-shlibdeps
# read from the program's shared libraries. Then lintian's verdict: no
# error, no warning.
# Usage: check_package.sh CPACK BUILD_DIR
set -eu
cpack=$1
build=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log"; echo "FAIL: cpack -G DEB failed"; exit 1; }

arch=$(dpkg --print-architecture)
deb="$work/tallowick_1.0.0_$arch.deb"
[ -f "$deb" ] || { echo "FAIL: no tallowick_1.0.0_$arch.deb; made: $(cd "$work" && ls ./*.deb)"; exit 1; }

status=0
fail() { echo "FAIL: $*"; status=1; }

files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $1, $NF}' | sort)
expected_files="-rw-r--r-- ./usr/share/applications/tallowick.desktop
-rw-r--r-- ./usr/share/doc/tallowick/changelog.gz
-rw-r--r-- ./usr/share/doc/tallowick/copyright
-rw-r--r-- ./usr/share/icons/hicolor/scalable/apps/tallowick.svg
-rw-r--r-- ./usr/share/man/man1/tallowick.1.gz
-rw-r--r-- ./usr/share/metainfo/example.velmora.Tallowick.metainfo.xml
-rwxr-xr-x ./usr/bin/tallowick"
for size in 16 22 24 32 48 64 128 256; do
    expected_files="$expected_files
-rw-r--r-- ./usr/share/icons/hicolor/${size}x${size}/apps/tallowick.png"
done
[ "$files" = "$(echo "$expected_files" | sort)" ] || fail "the package holds
$files
instead of
$expected_files"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = tallowick ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = 1.0.0 ] || fail "Version is '$(field Version)'"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is '$(field Architecture)'"
[ -n "$(field Section)" ] || fail "no Section"
description=$(field Description)
[ -n "$(echo "$description" | head -n 1)" ] || fail "no short Description"
[ "$(echo "$description" | wc -l)" -ge 3 ] || fail "no long Description: '$description'"

# Versioned entries for the libraries the program links come only from
# dpkg-shlibdeps.
depends=$(field Depends)
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6; do
    echo "$depends" | tr ',' '\n' | sed 's/^ *//' | grep -q "^$library (>= [^)]*)$" ||
        fail "Depends lacks a versioned $library: $depends"
done

lintian_status=0
lintian "$deb" >"$work/lintian.log" 2>&1 || lintian_status=$?
if [ "$lintian_status" -ne 0 ] || grep -q '^[EW]: ' "$work/lintian.log"; then
    fail "lintian (status $lintian_status):
$(cat "$work/lintian.log")"
fi

[ "$status" -eq 0 ] && echo "PASS: $(basename "$deb"); lintian: no error or warning; Depends: $depends"
exit "$status"
