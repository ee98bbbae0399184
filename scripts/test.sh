#!/usr/bin/env bash
# Builds both programs (Linux on Qt, and Tallowick.exe for Windows) and runs
# every test through CTest. Installs the Debian packages it needs.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh linux windows

cmake --preset linux
cmake --build --preset linux
ctest --preset linux

cmake --preset win32
cmake --build --preset win32
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    ctest --preset win32
else
    # A host whose kernel runs no 32-bit programs (IA-32 emulation off) cannot
    # start Tallowick.exe: check the file itself, and run the same Windows
    # code, built 64-bit, under wine64.
    echo "This machine runs no 32-bit programs: Tallowick.exe is built and its imports checked;"
    echo "its Windows tests run on the same code built 64-bit under wine64."
    ctest --preset win32 -R '^win32\.imports$'
    cmake --preset win64-check
    cmake --build --preset win64-check
    ctest --preset win64-check
fi
