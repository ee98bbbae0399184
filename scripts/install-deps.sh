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
    cmake ninja-build g++ pkg-config
    qt6-base-dev libgl-dev libxcb1-dev
    libgtest-dev libgmock-dev googletest
    fonts-liberation
    xvfb xauth x11-utils xdotool openbox imagemagick
    dbus-daemon dbus-bin at-spi2-core python3-gi gir1.2-atspi-2.0
    desktop-file-utils appstream
    findutils time
)
# On hosts whose kernel runs no 32-bit programs, 32-bit Wine runs under
# qemu-i386 with a small preloaded library built by the i686 Linux compiler;
# wine64 and the 64-bit compiler run the Windows tests where even that fails.
windows_packages=(
    g++-mingw-w64-i686-win32 binutils-mingw-w64-i686
    g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64
    wine wine32 wine64 googletest
    qemu-user-static gcc-i686-linux-gnu libc6-dev-i386-cross gcc
)

missing=()
is_installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

if [ "$want_windows" = 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "install-deps: enabling the i386 architecture for wine32"
    dpkg --add-architecture i386
    need_update=1
fi

packages=()
[ "$want_linux" = 1 ] && packages+=("${linux_packages[@]}")
[ "$want_windows" = 1 ] && packages+=("${windows_packages[@]}")
for package in "${packages[@]}"; do
    is_installed "$package" || missing+=("$package")
done

if [ ${#missing[@]} -gt 0 ] || [ "${need_update:-0}" = 1 ]; then
    if [ ${#missing[@]} -gt 0 ]; then
        echo "install-deps: installing ${missing[*]}"
    fi
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    if [ ${#missing[@]} -gt 0 ]; then
        DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
    fi
fi
