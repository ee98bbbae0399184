#!/bin/sh
# Makes a package from the build as the README says, into a temporary
# folder, and reads it back.
#   DEB (the Linux build): cpack -G DEB; its name, the files it installs, its
#       fields, the dependencies that dpkg-shlibdeps read from the program's
#       shared libraries, and lintian's verdict: no error, no warning.
#   ZIP (the 32-bit Windows build): cpack -G ZIP; its name, the two files it
#       holds, and README.TXT as Notepad on Windows 95 reads it.
# Usage: check_package.sh CPACK BUILD_DIR [DEB|ZIP]
set -eu
cpack=$1
build=$2
generator=${3:-DEB}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$cpack" --config "$build/CPackConfig.cmake" -G "$generator" -B "$work" >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log"; echo "FAIL: cpack -G $generator failed"; exit 1; }

status=0
fail() { echo "FAIL: $*"; status=1; }

if [ "$generator" = ZIP ]; then
    zip="$work/Tallowick-1.0.0-win32.zip"
    [ -f "$zip" ] || { echo "FAIL: no Tallowick-1.0.0-win32.zip; made: $(cd "$work" && ls ./*.zip)"; exit 1; }
    cmake=$(dirname "$cpack")/cmake
    entries=$("$cmake" -E tar tf "$zip" | sort)
    [ "$entries" = "$(printf 'README.TXT\nTallowick.exe')" ] || fail "the zip holds
$entries"
    mkdir "$work/unpacked"
    (cd "$work/unpacked" && "$cmake" -E tar xf "$zip")
    cmp -s "$work/unpacked/Tallowick.exe" "$build/platform/win32/Tallowick.exe" ||
        fail "Tallowick.exe in the zip is not the one built"
    readme="$work/unpacked/README.TXT"
    # Every line ends in CR LF, no CR stands elsewhere, and every other byte
    # is printable ASCII; lines fit Notepad's window unwrapped.
    lines=$(tr -cd '\n' <"$readme" | wc -c)
    [ "$(tr -cd '\r' <"$readme" | wc -c)" -eq "$lines" ] && [ "$(grep -c "$(printf '\r')\$" "$readme")" -eq "$lines" ] &&
        [ "$(tail -c 2 "$readme" | od -An -tx1 | tr -d ' ')" = 0d0a ] || fail "README.TXT's lines do not all end in CR LF"
    outside=$(LC_ALL=C tr -d '\r\n\040-\176' <"$readme" | wc -c)
    [ "$outside" -eq 0 ] || fail "README.TXT holds $outside bytes outside printable ASCII"
    long=$(tr -d '\r' <"$readme" | awk 'length($0) > 76 { n++ } END { print n + 0 }')
    [ "$long" -eq 0 ] || fail "README.TXT has $long lines longer than 76 characters"
    [ "$status" -eq 0 ] && echo "PASS: $(basename "$zip"): $(echo $entries); README.TXT: $lines lines, CR LF, ASCII"
    exit "$status"
fi

arch=$(dpkg --print-architecture)
deb="$work/tallowick_1.0.0_$arch.deb"
[ -f "$deb" ] || { echo "FAIL: no tallowick_1.0.0_$arch.deb; made: $(cd "$work" && ls ./*.deb)"; exit 1; }

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
