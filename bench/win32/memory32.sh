#!/usr/bin/env bash
# The 32-bit Tallowick.exe's memory after Find, for hosts where bench.sh can
# time only the 64-bit build (a kernel that runs no 32-bit programs): Find is
# clicked RUNS times, each in a fresh Tallowick.exe, on the benchmark's tree
# of SCALE cookie files in a 32-bit Wine prefix, which scripts/windows-tests.sh
# runs under qemu-i386 where it must. Prints each run's "ms idleKiB peakKiB"
# (bench_driver's figures; times under emulation mean nothing), then the
# median of peak less idle.
#
#   bench/win32/memory32.sh [SCALE] [RUNS]   (default 100000 5; after scripts/test.sh)
set -euo pipefail

root=$(cd "$(dirname -- "$0")/../.." && pwd)
build=$root/build/win32

if [ "${1:-}" = --in-session ]; then
    scale=$2 runs=$3 make_tree=$4
    expected=$("$make_tree" "$WINEPREFIX" "$scale")
    exe=$build/platform/win32/Tallowick.exe
    for _ in $(seq "$runs"); do
        "$TALLOWICK_WINE" "$build/bench/win32/tallowick_bench_driver.exe" "Z:${exe//\//\\}" find "$expected" | tr -d '\r'
    done
    exit 0
fi

scale=${1:-100000} runs=${2:-5}
[ -f "$build/bench/win32/tallowick_bench_driver.exe" ] || { echo "memory32.sh: build $build first" >&2; exit 1; }
tmp=/dev/shm
[ -d "$tmp" ] && [ -w "$tmp" ] || tmp=${TMPDIR:-/tmp}
work=$(mktemp -d "$tmp/tallowick-memory32.XXXXXX")
display=$root/tests/win32/ui/display.sh
trap '"$display" stop "$work/display.state" "$work/prefix" || true; rm -rf -- "$work"' EXIT
c++ -std=c++20 -O2 -I"$root" "$root/bench/cookie_tree.cpp" "$root/bench/win32/make_tree.cpp" -o "$work/make_tree"
"$display" start "$work/display.state"
"$display" run "$work/display.state" "$root/scripts/windows-tests.sh" session "$work/prefix" win32 \
    "$0" --in-session "$scale" "$runs" "$work/make_tree" | tee "$work/figures"
awk '{ print $3 - $2 }' "$work/figures" | sort -n |
    awk '{ v[NR] = $1 } END { m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "memory after Find: median +%.1f MiB (%.1f-%.1f) of %d runs\n", m / 1024, v[1] / 1024, v[NR] / 1024, NR }'
