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
# runs under qemu-i386 user emulation: each command runs in a private user
# and mount namespace of its own, where binfmt_misc hands i386 programs to
# qemu-i386-static, with a small preloaded library that mends what qemu does
# differently from the kernel (tests/win32/qemu). Nothing is registered on
# the host.
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

# The route through qemu-i386 (see above).
qemu_tools=$(readlink -f -- "$(dirname -- "$0")/../tests/win32/qemu")
qemu_shim=${prefix%/*}/wine-on-qemu     # one per build tree, beside its prefixes
in_namespace=(unshare --user --map-root-user --mount "$qemu_tools/in-namespace.sh" "$qemu_shim")

no_32bit_wine() {
    echo "windows-tests: this host cannot run 32-bit Wine: its kernel runs no 32-bit programs (IA-32 emulation off), and $*" >&2
    exit $no_32bit_wine
}

# Runs this same script, command and all, in a namespace of its own where
# /usr/lib/wine/wine runs under qemu-i386, then ends the Wine session in the
# prefix. Does not return.
run_on_qemu() {
    local loader=/usr/lib/wine/wine why
    [ -x "$loader" ] || no_32bit_wine "$loader is missing (Debian package wine32:i386)"
    [ -x /usr/bin/qemu-i386-static ] || no_32bit_wine "qemu-i386-static is missing (Debian package qemu-user-static)"
    command -v unshare >/dev/null || no_32bit_wine "unshare is missing (Debian package util-linux)"
    why=$("$qemu_tools/build-shim.sh" "$qemu_shim" 2>&1 >/dev/null) ||
        no_32bit_wine "the library Wine needs under qemu does not build: $(head -n 1 <<<"$why")"
    why=$("${in_namespace[@]}" "$loader" --version 2>&1 >/dev/null) ||
        no_32bit_wine "Wine under qemu-i386 in a private namespace fails: $(head -n 1 <<<"$why")"
    if [ "$command" = check ]; then
        echo "32-bit Wine runs here under qemu-i386, in private user namespaces"
        exit 0
    fi

    # One command at a time in a prefix: the session's end stops every Wine
    # process in it.
    mkdir -p -- "${prefix%/*}"
    exec 8>"$prefix.session.lock"
    flock 8

    local noise status=0 filtered filter
    noise=$(mktemp)
    exec {filtered}> >(filter_noise "$noise")
    filter=$!
    TALLOWICK_WINE_ON_QEMU=1 "${in_namespace[@]}" "$0" "${arguments[@]}" 2>&"$filtered" || status=$?
    end_session || status=$((status ? status : 1))
    exec {filtered}>&-
    wait "$filter" || true
    if [ "$status" -ne 0 ] && [ -s "$noise" ]; then
        echo "windows-tests: the command failed (status $status); Wine and qemu also said:" >&2
        cat -- "$noise" >&2
    fi
    rm -f -- "$noise"
    exit "$status"
}

# Ends the Wine session in the prefix: every Wine process, the server last.
# An emulated process that hangs would keep the server up, and with it the
# test's output; one left by a test that timed out would serve the next. A
# server that ends by itself saves the registry first, so it gets time to.
end_session() {
    timeout 30 "${in_namespace[@]}" wineserver -w 2>/dev/null && return 0
    "${in_namespace[@]}" wineserver -k 2>/dev/null || true
    timeout 30 "${in_namespace[@]}" wineserver -w 2>/dev/null && return 0
    echo "windows-tests: the Wine server of $prefix does not stop" >&2
    return 1
}

# What qemu and Wine print when an emulated process crashes (a Wine system
# process may, without harm to the test) goes to the file NOISE instead of
# stderr; it is shown only when the command fails.
filter_noise() {
    awk -v noise="$1" '
        /^qemu: uncaught target signal/ ||
        /^wine client error:[0-9a-f]+: / ||
        /^wine: (Unhandled|Assertion failed).*starting debugger/ ||
        /^The futex facility returned an unexpected error code/ ||
        /error while loading shared libraries: .*failed to map segment/ ||
        /^\*\*\* stack smashing detected \*\*\*/ ||
        /^wine: configuration in .* has been updated/ { print >noise; fflush(noise); next }
        { print; fflush() }' >&2
}

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
