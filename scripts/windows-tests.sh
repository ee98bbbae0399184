#!/usr/bin/env bash
# Runs the cross-built Windows test programs under Wine, in a prefix of the
# build's own (never ~/.wine). CTest calls it; see tests/win32/CMakeLists.txt.
#
#   windows-tests.sh prefix PREFIX ARCH [EXE=VERSION...]
#       makes PREFIX afresh (ARCH win32 or win64); each EXE named runs there
#       as that Windows version (win95, win98, nt40, win2k...)
#   windows-tests.sh run PREFIX ARCH PROGRAM [ARGS...]
#       runs PROGRAM in PREFIX, making the prefix first if there is none
#   windows-tests.sh linked PREFIX ARCH PROGRAM [ARGS...]
#       the same, with linked folders made in drive C: for the run and
#       removed after it
set -euo pipefail

usage() {
    sed -n '2,14p' "$0" >&2
    exit 2
}

[ $# -ge 3 ] || usage
command=$1 prefix=$2 arch=$3
shift 3

case "$prefix" in
    /?*) ;;
    *) echo "windows-tests: the prefix must be an absolute path: '$prefix'" >&2; exit 2 ;;
esac
prefix=${prefix%/}

export WINEPREFIX=$prefix WINEARCH=$arch WINEDEBUG=-all
case "$arch" in
    win32)
        loader=/usr/lib/wine/wine
        if ! "$loader" --version >/dev/null 2>&1; then
            echo "windows-tests: $loader does not run on this host." >&2
            echo "  It needs Debian's wine32:i386 and a kernel that runs 32-bit programs" >&2
            echo "  (dmesg may say 'IA-32 emulation off'). The same tests run as 64-bit" >&2
            echo "  programs under wine64 with the win64-check presets." >&2
            exit 1
        fi
        ;;
    win64)
        loader=/usr/lib/wine/wine64
        export WINELOADER=$loader
        ;;
    *) echo "windows-tests: ARCH is win32 or win64, not '$arch'" >&2; exit 2 ;;
esac

make_prefix() {
    if [ -e "$prefix" ]; then
        wineserver -k 2>/dev/null || true
        rm -rf -- "$prefix"
    fi
    mkdir -p -- "$(dirname -- "$prefix")"
    # wineboot's complaints about the missing 32-bit half of a 64-bit prefix
    # are expected; only its exit status counts.
    "$loader" wineboot -i >/dev/null 2>&1
    local pair
    for pair in "$@"; do
        "$loader" reg add "HKCU\\Software\\Wine\\AppDefaults\\${pair%%=*}" /v Version /d "${pair#*=}" /f >/dev/null 2>&1
    done
    wineserver -w
    [ -d "$prefix/drive_c/windows" ] || { echo "windows-tests: no prefix made at $prefix" >&2; exit 1; }
}

# Test discovery may run before the prefix test: one process makes it.
ensure_prefix() {
    exec 9>"$prefix.lock"
    flock 9
    [ -d "$prefix/drive_c/windows" ] || make_prefix
    flock -u 9
}

# Folder links inside drive C: (Wine reports them as reparse points). The
# tests expect exactly this layout: nothing behind a link may be walked or
# deleted.
drive_c=$prefix/drive_c
remove_links() {
    rm -f -- "$drive_c/winnt" "$drive_c/windows/Temporary Internet Files" "$drive_c/windows/profiles/linked"
    rm -rf -- "$drive_c/link-target" "$drive_c/windows/profiles"
}
make_links() {
    remove_links
    mkdir -p "$drive_c/link-target/cookies" "$drive_c/windows/profiles/user1/cookies"
    echo cookie >"$drive_c/link-target/behind[1].txt"
    echo cookie >"$drive_c/link-target/cookies/behind[2].txt"
    echo cookie >"$drive_c/windows/profiles/user1/cookies/real[1].txt"
    ln -s ../../link-target "$drive_c/windows/profiles/linked"
    ln -s ../link-target "$drive_c/windows/Temporary Internet Files"
    ln -s link-target "$drive_c/winnt"
}

case "$command" in
    prefix)
        make_prefix "$@"
        ;;
    run)
        [ $# -ge 1 ] || usage
        ensure_prefix
        exec "$loader" "$@"
        ;;
    linked)
        [ $# -ge 1 ] || usage
        ensure_prefix
        make_links
        trap remove_links EXIT
        TALLOWICK_LINKED_FOLDERS=1 "$loader" "$@"
        ;;
    *) usage ;;
esac
