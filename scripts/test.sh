#!/usr/bin/env bash
# Builds both programs (Linux on Qt, and Tallowick.exe for Windows) and runs
# every test through CTest. Installs the Debian packages it needs.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh linux windows

cmake --preset linux
cmake --build --preset linux
ctest --preset linux

if [ -f cmake/mingw-i686.toolchain.cmake ]; then
    cmake --preset win32
    cmake --build --preset win32
    ctest --preset win32
fi
