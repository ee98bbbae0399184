#!/usr/bin/env bash
# Builds the library that 32-bit Wine preloads under qemu-i386 (see
# wine_on_qemu.c) into OUT_DIR, once: OUT_DIR/lib/<multiarch>/wine_on_qemu.so
# for i386, and an empty one for x86_64 so that one LD_PRELOAD entry with
# ld.so's $LIB serves the 64-bit programs (wineserver, shells) too.
#
#   build-shim.sh OUT_DIR
set -euo pipefail

out=${1:?usage: build-shim.sh OUT_DIR}
source_file=$(dirname -- "$(readlink -f -- "$0")")/wine_on_qemu.c
i386_lib=$out/lib/i386-linux-gnu/wine_on_qemu.so
host_lib=$out/lib/x86_64-linux-gnu/wine_on_qemu.so

mkdir -p -- "$out"
exec 9>"$out/.lock"
flock 9
if [ -f "$i386_lib" ] && [ -f "$host_lib" ] && [ "$i386_lib" -nt "$source_file" ]; then
    exit 0
fi

for compiler in i686-linux-gnu-gcc cc; do
    command -v "$compiler" >/dev/null || { echo "no $compiler (Debian packages gcc-i686-linux-gnu, libc6-dev-i386-cross, gcc)" >&2; exit 1; }
done
mkdir -p -- "${i386_lib%/*}" "${host_lib%/*}"
i686-linux-gnu-gcc -std=gnu11 -O2 -Wall -Wextra -shared -fPIC -o "$i386_lib.new" "$source_file" -ldl
printf '' | cc -shared -fPIC -x c -o "$host_lib.new" -
mv -f -- "$host_lib.new" "$host_lib"
mv -f -- "$i386_lib.new" "$i386_lib"
