#!/bin/sh
# Compiles the Windows resource script with windres, as the Windows build
# does, and reads the result back: version numbers, the US English Unicode
# string table with its texts, the three icon images and the manifest.
# Exits 77 (skipped) when windres is not installed; installs nothing.
# Usage: check_version_record.sh RESOURCES_DIR
set -eu
resources=$1
windres=${WINDRES:-i686-w64-mingw32-windres}
if ! command -v "$windres" >/dev/null 2>&1; then
    echo "SKIP: $windres not found (Debian package binutils-mingw-w64-i686); version record not checked"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$windres" --include-dir="$resources" -O coff -i "$resources/tallowick.rc" -o "$work/tallowick.res.o"
"$windres" -J coff -O rc -i "$work/tallowick.res.o" -o "$work/roundtrip.rc"

status=0
expect_line() { # a line the decompiled script must hold, spacing ignored
    pattern=$1
    if ! tr -s ' \t' ' ' <"$work/roundtrip.rc" | grep -qF -- "$pattern"; then
        echo "FAIL: compiled resources lack: $pattern"
        status=1
    fi
}
expect_line 'FILEVERSION 1, 0, 0, 0'
expect_line 'PRODUCTVERSION 1, 0, 0, 0'
expect_line 'BLOCK "040904B0"'
expect_line 'VALUE "Translation", 0x409, 1200'
expect_line 'VALUE "FileVersion", "1.00"'
expect_line 'VALUE "ProductVersion", "1.00"'
expect_line 'VALUE "InternalName", "Tallowick"'
expect_line 'VALUE "OriginalFilename", "Tallowick.exe"'
expect_line 'VALUE "ProductName", "Tallowick"'
expect_line 'VALUE "CompanyName", "Velmora Software"'
expect_line '1 14 /* RT_GROUP_ICON */'
expect_line '/* Has 3 elements. */'
expect_line '1 24 /* RT_MANIFEST */'
expect_line 'LANGUAGE 9, 1'

# Exactly one string table.
tables=$(grep -c 'BLOCK "[0-9A-Fa-f]\{8\}"' "$work/roundtrip.rc" || true)
if [ "$tables" -ne 1 ]; then
    echo "FAIL: expected one string table, found $tables"
    status=1
fi

# The strings are stored as UTF-16 in the object itself.
for text in 1.00 Tallowick.exe "Velmora Software"; do
    utf16=$(printf '%s' "$text" | od -An -v -tx1 | tr -d '\n' | sed 's/ *\([0-9a-f][0-9a-f]\)/\\x\1\\x00/g')
    if ! LC_ALL=C grep -qaP "$utf16" "$work/tallowick.res.o"; then
        echo "FAIL: UTF-16 text \"$text\" not found in the compiled resources"
        status=1
    fi
done
[ "$status" -eq 0 ] && echo "PASS: version record, icon and manifest compile and read back"
exit "$status"
