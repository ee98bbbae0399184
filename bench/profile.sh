#!/usr/bin/env bash
# Where the Linux program's Find and Delete spend their time: perf samples
# the CPU clock (the program's own code and the kernel's work for it) while
# the benchmark's program runs click Find, then Delete, on new trees of
# SCALE cookie files on tmpfs. Each sample taken during the click is counted
# under the first part its call stack meets, from the innermost call out
# (bench/profile_parts.py).
#
#   bench/profile.sh [SCALE]      (default 100000; after the bench is built)
set -euo pipefail

root=$(cd "$(dirname -- "$0")/.." && pwd)
bench=$root/build/linux/bench/tallowick_bench
scale=${1:-100000}
command -v perf >/dev/null || { echo "profile.sh: perf is missing (apt-get install linux-perf)" >&2; exit 1; }
[ -x "$bench" ] || { echo "profile.sh: build $bench first (cmake --build --preset linux --target tallowick_bench)" >&2; exit 1; }

tmp=/dev/shm
[ -d "$tmp" ] && [ -w "$tmp" ] || tmp=${TMPDIR:-/tmp}
work=$(mktemp -d "$tmp/tallowick-profile.XXXXXX")
trap 'rm -rf -- "$work"' EXIT
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

# Three runs of each, the samples taken together; a Delete takes a new tree.
runs=3
for mode in find delete; do
    echo "$mode at $scale files, share of the samples during the click ($runs runs):"
    for _ in $(seq "$runs"); do
        [ -d "$work/tree" ] || "$bench" --make-tree "$work/tree" "$scale" >/dev/null
        perf record -q -e cpu-clock -F 10000 --call-graph dwarf,16384 -o "$work/samples" \
            "$bench" --program "$mode" "$work/tree" "$scale" >/dev/null
        perf script -i "$work/samples" -F ip,sym 2>/dev/null
        rm -f -- "$work/samples"
        [ "$mode" = find ] || rm -rf -- "$work/tree"
    done | python3 "$root/bench/profile_parts.py" "$mode"
done
