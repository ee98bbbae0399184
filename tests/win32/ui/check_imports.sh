#!/usr/bin/env bash
# Checks that Tallowick.exe loads on Windows 95, 98, NT 4.0 and 2000 with
# nothing installed: a PE32 file for i386 with subsystem and OS version 4.0,
# importing reviewed functions from exactly KERNEL32, USER32, GDI32 and
# COMCTL32 (no msvcrt.dll: the first Windows 95 has none).
#
#   check_imports.sh OBJDUMP EXE ALLOWED_LIST
#
# ALLOWED_LIST holds one DLL!function a line ('#' starts a comment).
set -euo pipefail

objdump=${1:?objdump} exe=${2:?exe} allowed=${3:?allowed list}
headers=$("$objdump" -p "$exe")
failed=0
fail() { echo "check_imports: $*" >&2; failed=1; }

field() { awk -v name="$1" '$1 == name { print $2; exit }' <<<"$headers"; }

grep -q 'file format pei-i386' <<<"$headers" || fail "not a PE32 file for i386"
[ "$(field Magic)" = "010b" ] || fail "Magic $(field Magic), expected 010b (PE32)"
[ "$(field Subsystem)" = "00000002" ] || fail "Subsystem $(field Subsystem), expected 00000002 (Windows GUI)"
[ "$(field MajorSubsystemVersion)" = "4" ] || fail "MajorSubsystemVersion $(field MajorSubsystemVersion), expected 4"
[ "$(field MinorSubsystemVersion)" = "0" ] || fail "MinorSubsystemVersion $(field MinorSubsystemVersion), expected 0"
[ "$(field MajorOSystemVersion)" = "4" ] || fail "MajorOSystemVersion $(field MajorOSystemVersion), expected 4"

# "DLL Name: USER32.dll" starts each DLL's list; its lines end with the
# function's name after the hint.
imports=$(awk '
    /^[[:space:]]*DLL Name:/ { dll = toupper($3); sub(/\.DLL$/, "", dll); listing = 1; next }
    listing && /^[[:space:]]*$/ { listing = 0; next }
    listing && /^[[:space:]]*[0-9a-f]+[[:space:]]+[0-9]+[[:space:]]+[^[:space:]]+$/ { print dll "!" $3 }
' <<<"$headers" | sort -u)
[ -n "$imports" ] || fail "no imports found: the objdump output was not understood"

allowed_imports=$(sed -e 's/#.*//' -e 's/[[:space:]]//g' "$allowed" | awk 'NF' | sort -u)

dlls=$(cut -d'!' -f1 <<<"$imports" | sort -u | paste -sd' ' -)
[ "$dlls" = "COMCTL32 GDI32 KERNEL32 USER32" ] ||
    fail "imports from $dlls; expected exactly COMCTL32 GDI32 KERNEL32 USER32"

# Introduced after Windows 95 and NT 4.0, or failing stubs on 95/98: never
# allowed, whatever the list says.
forbidden=(
    GetTickCount64 AddVectoredExceptionHandler RemoveVectoredExceptionHandler
    GetModuleHandleExA GetModuleHandleExW GetFileSizeEx SetFilePointerEx
    FindFirstVolumeW FindNextVolumeW FindVolumeClose CreateHardLinkW GetLongPathNameW
    GlobalMemoryStatusEx TryEnterCriticalSection GetHandleInformation MoveFileExA MoveFileExW
    IsDebuggerPresent GetFileAttributesExA SetProcessAffinityMask SwitchToThread
    InitCommonControlsEx SetProcessDPIAware _fstat64 _wstat64 _stat64 _time64 _localtime64
    _aligned_malloc _aligned_free
)
for name in "${forbidden[@]}"; do
    if grep -q "!$name\$" <<<"$imports"; then
        fail "imports $name, which Windows 95 or NT 4.0 does not have"
    fi
done

unreviewed=$(comm -23 <(echo "$imports") <(echo "$allowed_imports"))
if [ -n "$unreviewed" ]; then
    fail "imports not on the reviewed list $allowed:"
    sed 's/^/    /' <<<"$unreviewed" >&2
fi

count=$(wc -l <<<"$imports")
if [ "$failed" = 0 ]; then
    echo "check_imports: $exe is PE32, subsystem 4.0, OS 4.0; $count imports, all reviewed"
fi
exit "$failed"
