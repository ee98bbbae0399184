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
    gcc-12-source xz-utils bzip2
)
# The 32-bit program's runtime is partly rebuilt for its processor floor
# (platform/win32/runtime): from gcc-12-source above, and from the source
# package of the installed mingw-w64 CRT, kept under /usr/src/mingw-w64.
mingw_source_dir=/usr/src/mingw-w64

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

# The CRT's source package, of the exact version installed. apt-get source
# needs deb-src entries: added beside the system's deb entries when missing.
if [ "$want_windows" = 1 ]; then
    mingw_version=$(dpkg-query -W -f='${source:Version}' mingw-w64-i686-dev)
    mingw_upstream=${mingw_version%-*}
    if [ ! -f "$mingw_source_dir/mingw-w64_${mingw_upstream}.orig.tar.bz2" ]; then
        sudo_cmd=()
        [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
        if [ -z "$(apt-cache showsrc mingw-w64 2>/dev/null)" ]; then
            echo "install-deps: adding deb-src entries for Debian's source packages"
            for list in /etc/apt/sources.list.d/*.sources; do
                [ -f "$list" ] && grep -q '^Types:.*\bdeb\b' "$list" || continue
                sed -n '/^Types:/s/.*/Types: deb-src/;p' "$list" |
                    "${sudo_cmd[@]}" tee "/etc/apt/sources.list.d/deb-src-$(basename "$list")" >/dev/null
            done
            for list in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
                [ -f "$list" ] && grep -q '^deb ' "$list" || continue
                sed -n 's/^deb /deb-src /p' "$list" |
                    "${sudo_cmd[@]}" tee "/etc/apt/sources.list.d/deb-src-$(basename "$list")" >/dev/null
            done
            "${sudo_cmd[@]}" apt-get update -qq
        fi
        echo "install-deps: fetching the source of mingw-w64 $mingw_version into $mingw_source_dir"
        "${sudo_cmd[@]}" mkdir -p "$mingw_source_dir"
        (cd "$mingw_source_dir" && "${sudo_cmd[@]}" apt-get source --download-only -qq "mingw-w64=$mingw_version")
    fi
fi
