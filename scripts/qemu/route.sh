# The qemu route of scripts/windows-tests.sh, sourced by it (see README.md
# here): where the kernel runs no 32-bit programs, run_on_qemu runs the same
# command of windows-tests.sh again inside a private user and mount
# namespace, where 32-bit Wine runs under qemu-i386, then ends the Wine
# session in the prefix. It uses windows-tests.sh's variables (command,
# prefix, arguments) and its exit status 77 for "no 32-bit Wine here".

qemu_tools=$(dirname -- "$(readlink -f -- "${BASH_SOURCE[0]}")")
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

