#!/usr/bin/env bash
# Installs the Debian packages Tallowick needs, only those that are missing.
# Usage: scripts/install-deps.sh [linux] [windows]   (default: linux)
set -euo pipefail

want_linux=0
want_windows=0
[ $# -eq 0 ] && want_linux=1
for arg in "$@"; do
    case "$arg" in
        linux) want_linux=1 ;;
        windows) want_windows=1 ;;
        *) echo "install-deps: unknown part '$arg'" >&2; exit 2 ;;
    esac
done

linux_packages=(
    cmake ninja-build g++ pkg-config zlib1g-dev
    qt6-base-dev libgl-dev libxcb1-dev
    libgtest-dev libgmock-dev googletest
    fonts-liberation
    xvfb xauth x11-utils xdotool openbox imagemagick
    dbus-daemon dbus-bin at-spi2-core python3-gi gir1.2-atspi-2.0
    desktop-file-utils appstream dpkg-dev file lintian librsvg2-bin
    findutils time
)
# wine64 and the 64-bit compiler run the Windows tests where 32-bit Wine
# cannot run natively.
windows_packages=(
    g++-mingw-w64-i686-win32 binutils-mingw-w64-i686
    g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64
    wine wine32 wine64 googletest
    gcc-12-source xz-utils bzip2
)
# The 32-bit program's C++ runtime is partly rebuilt for its processor floor
# (platform/win32/runtime), from gcc-12-source above; its C runtime is its
# own (platform/win32/crt).
# On hosts whose kernel runs no 32-bit programs, 32-bit Wine runs under
# qemu-i386 with a small preloaded library built by the i686 Linux compiler
# (scripts/qemu). Elsewhere they are not needed.
qemu_route_packages=(qemu-user-static gcc-i686-linux-gnu libc6-dev-i386-cross gcc)

# Root is needed only to change the system: a missing package, the i386
# architecture. A machine that has everything asks
# nothing of the user.
as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null; then
        sudo "$@"
    else
        echo "install-deps: this needs root: run as root, or install sudo" >&2
        exit 1
    fi
}

# Whether the kernel runs 32-bit x86 programs: it either runs this smallest
# static i386 program, which only exits with status 0, or refuses it (exec
# format error) when its IA-32 emulation is off or missing. Asking the kernel
# itself needs no package and holds however the kernel was built or booted.
kernel_runs_i386() {
    local dir status=0
    dir=$(mktemp -d)
    # ELF header: 32-bit, little-endian, executable, i386, entry 0x08048054,
    # one program header at 52. Program header: one read-and-execute load of
    # the 93-byte file at 0x08048000. Code: mov eax,1; xor ebx,ebx; int 0x80.
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00' >"$dir/exit0"
    printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' >>"$dir/exit0"
    printf '\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >>"$dir/exit0"
    chmod +x "$dir/exit0"
    "$dir/exit0" 2>/dev/null || status=$?
    rm -rf "$dir"
    return "$status"
}

missing=()
is_installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

if [ "$want_windows" = 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "install-deps: enabling the i386 architecture for wine32"
    as_root dpkg --add-architecture i386
    need_update=1
fi

packages=()
[ "$want_linux" = 1 ] && packages+=("${linux_packages[@]}")
if [ "$want_windows" = 1 ]; then
    packages+=("${windows_packages[@]}")
    if ! kernel_runs_i386; then
        echo "install-deps: this kernel runs no 32-bit programs; adding the packages that run 32-bit Wine under qemu"
        packages+=("${qemu_route_packages[@]}")
    fi
fi
for package in "${packages[@]}"; do
    is_installed "$package" || missing+=("$package")
done

if [ ${#missing[@]} -gt 0 ] || [ "${need_update:-0}" = 1 ]; then
    if [ ${#missing[@]} -gt 0 ]; then
        echo "install-deps: installing ${missing[*]}"
    fi
    as_root apt-get update -qq
    if [ ${#missing[@]} -gt 0 ]; then
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
    fi
fi
