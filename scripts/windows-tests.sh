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
#   windows-tests.sh session PREFIX ARCH SCRIPT [ARGS...]
#       runs the host program SCRIPT in PREFIX (made first if there is
#       none), with the Wine loader to call in TALLOWICK_WINE, so that it can
#       run several Windows programs side by side in one Wine session
#   windows-tests.sh check PREFIX ARCH
#       says how Wine runs programs of ARCH here, or why it cannot
#
# Every command ends with the status of the Wine command it ran. Status 77:
# this host cannot run 32-bit Wine at all (one line on stderr says why).
#
# Where the kernel runs no 32-bit programs (IA-32 emulation off), 32-bit Wine
# runs under qemu-i386 user emulation (scripts/qemu, and its README). Nothing
# is registered on the host.
set -euo pipefail

usage() {
    sed -n '2,28p' "$0" >&2
    exit 2
}

no_32bit_wine=77

[ $# -ge 3 ] || usage
arguments=("$@")
command=$1 prefix=$2 arch=$3
shift 3

case "$prefix" in
    /?*) ;;
    *) echo "windows-tests: the prefix must be an absolute path: '$prefix'" >&2; exit 2 ;;
esac
prefix=${prefix%/}

# The route through qemu-i386 (see above): run_on_qemu.
# shellcheck source=qemu/route.sh
source "$(dirname -- "$(readlink -f -- "$0")")/qemu/route.sh"

export WINEPREFIX=$prefix WINEARCH=$arch WINEDEBUG=-all
case "$arch" in
    win32)
        loader=/usr/lib/wine/wine
        if ! "$loader" --version >/dev/null 2>&1; then
            if [ -n "${TALLOWICK_WINE_ON_QEMU:-}" ]; then
                echo "windows-tests: $loader does not run even under qemu-i386" >&2
                exit 1
            fi
            run_on_qemu
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
    if [ -n "${TALLOWICK_WINE_ON_QEMU:-}" ]; then
        # No crash debugger: under emulation winedbg hangs, and on a display
        # its dialog would wait for a click. A program that crashes just ends.
        "$loader" reg add "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug" /v Debugger /d "" /f >/dev/null 2>&1
        # The server is waited for, or stopped, when the session ends.
    else
        wineserver -w
    fi
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
    check)
        echo "Wine runs $arch programs here natively"
        ;;
    prefix)
        make_prefix "$@"
        ;;
    run)
        [ $# -ge 1 ] || usage
        ensure_prefix
        exec "$loader" "$@"
        ;;
    session)
        [ $# -ge 1 ] || usage
        ensure_prefix
        TALLOWICK_WINE=$loader exec "$@"
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
