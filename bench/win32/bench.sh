#!/usr/bin/env bash
# Times Tallowick.exe's Find and Delete under Wine on huge cookie folders,
# against the least a Win32 program must do for the same work (least_work:
# FindFirstFileW over the same folders collecting the same paths; DeleteFileW
# on each; and the deletion with the care Tallowick.exe takes under Wine,
# which is Delete's baseline there), on the same tree in the same run.
#
#   bench/win32/bench.sh [--runs N] [--win64] [SCALE...]
#       (default: 5 runs; 1000 10000 100000 cookie files)
#
# The tree is the Linux benchmark's (bench/cookie_tree.cpp), written into a
# fresh Wine prefix on tmpfs (/dev/shm) where there is one. Tallowick.exe runs
# as NT (Wine's default) on a display of its own. Each Tallowick figure is a
# fresh process of the real program, clicked from outside (bench_driver).
# Where the host runs no 32-bit programs, or with --win64, the same code built
# 64-bit (preset win64-check) runs under wine64 against a 64-bit least_work.
set -euo pipefail

root=$(cd "$(dirname -- "$0")/../.." && pwd)
runs=5 win64=0 scales=()
while [ $# -gt 0 ]; do
    case "$1" in
        --runs) runs=${2:?--runs N}; shift 2 ;;
        --win64) win64=1; shift ;;
        *[!0-9]* | '') echo "usage: bench.sh [--runs N] [--win64] [SCALE...]" >&2; exit 2 ;;
        *) scales+=("$1"); shift ;;
    esac
done
[ ${#scales[@]} -gt 0 ] || scales=(1000 10000 100000)

if [ "$win64" = 0 ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
    preset=win32 loader=/usr/lib/wine/wine
    export WINEARCH=win32
else
    preset=win64-check loader=/usr/lib/wine/wine64
    export WINEARCH=win64 WINELOADER=$loader
fi
[ -x "$loader" ] || { echo "bench.sh: $loader is missing (scripts/install-deps.sh windows)" >&2; exit 1; }

# The programs: Tallowick.exe and the two Windows helpers in the preset's
# build, the tree maker with the host's compiler.
build=$root/build/$preset
cmake --preset "$preset" >&2
cmake --build --preset "$preset" --target Tallowick tallowick_bench_driver tallowick_least_work >&2
make_tree=$build/bench/win32/make_tree
c++ -std=c++20 -O2 -I"$root" "$root/bench/cookie_tree.cpp" "$root/bench/win32/make_tree.cpp" -o "$make_tree"
exe=$build/platform/win32/Tallowick.exe
driver=$build/bench/win32/tallowick_bench_driver.exe
least_work=$build/bench/win32/tallowick_least_work.exe

tmp=/dev/shm
[ -d "$tmp" ] && [ -w "$tmp" ] || tmp=${TMPDIR:-/tmp}
work=$(mktemp -d "$tmp/tallowick-bench.XXXXXX")
display=$root/tests/win32/ui/display.sh
export WINEPREFIX=$work/prefix WINEDEBUG=-all
windows=$WINEPREFIX/drive_c/windows
cleanup() {
    "$display" stop "$work/display.state" "$WINEPREFIX" || true
    rm -rf -- "$work"
}
trap cleanup EXIT
"$display" start "$work/display.state"
# Windows programs end their lines with CR LF.
wine() { "$display" run "$work/display.state" "$loader" "$@" | tr -d '\r'; }

echo "Wine prefix in $work ($preset build)" >&2
wine wineboot -i >/dev/null 2>&1
# Unmanaged windows: without a window manager Wine would wait for one on
# every window it unmaps.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wineserver -w
# One Wine server for the whole run, not one started for each program.
wineserver -p

# The folders the tree makes in c:\windows; a fresh prefix has none of them.
tree_folders=(Cookies History Profiles "Temporary Internet Files")
remove_tree() { (cd "$windows" && rm -rf -- "${tree_folders[@]}"); }
for folder in "${tree_folders[@]}"; do
    [ ! -e "$windows/$folder" ] || { echo "bench.sh: the fresh prefix already has windows/$folder" >&2; exit 1; }
done
make_tree() { remove_tree; "$make_tree" "$WINEPREFIX" "$1"; }

as_windows_path() { local path=${1//\//\\}; printf 'Z:%s' "$path"; }
tallowick() { wine "$driver" "$(as_windows_path "$exe")" "$@"; }

# Each run's figures, one a line: SCALE KIND VALUE (milliseconds; KiB for
# the memory after Find over the idle program).
figures=$work/figures
for scale in "${scales[@]}"; do
    echo "scale $scale ($runs runs)" >&2
    expected=$(make_tree "$scale")
    for _ in $(seq "$runs"); do
        figures_of_run=$(tallowick find "$expected")
        read -r program idle peak <<<"$figures_of_run"
        least=$(wine "$least_work" walk "$expected")
        printf '%s %s %s\n' "$scale" find "$program" "$scale" walk "$least" "$scale" memory $((peak - idle)) >>"$figures"
    done
    for _ in $(seq "$runs"); do
        make_tree "$scale" >/dev/null
        figures_of_run=$(tallowick delete "$expected")
        read -r program _ <<<"$figures_of_run"
        # The same walk finds nothing left.
        wine "$least_work" walk 0 >/dev/null
        make_tree "$scale" >/dev/null
        least=$(wine "$least_work" delete "$expected")
        make_tree "$scale" >/dev/null
        careful=$(wine "$least_work" careful "$expected")
        printf '%s %s %s\n' "$scale" delete "$program" "$scale" deletions "$least" "$scale" careful "$careful" >>"$figures"
    done
    remove_tree
done

# The table: medians with the range, and the median of the per-run ratios.
awk -v runs="$runs" -v scales="${scales[*]}" '
    function median(list,    n, v, i, j, t) {
        n = split(list, v, " ")
        for (i = 2; i <= n; i++) for (j = i; j > 1 && v[j - 1] + 0 > v[j] + 0; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
        low = v[1]; high = v[n]
        return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
    }
    function show(list,    m) { m = median(list); return sprintf("%.1f (%.1f-%.1f)", m, low, high) }
    function ratios(a, b,    n, x, y, i, out) {
        n = split(a, x, " "); split(b, y, " ")
        for (i = 1; i <= n; i++) out = out " " x[i] / y[i]
        return median(out)
    }
    { list[$1, $2] = list[$1, $2] " " $3 }
    END {
        printf "Times in ms: median (min-max) of %d runs; ratio = median of per-run ratios.\n", runs
        print "Under Wine, Delete is held to the careful deletions (the care it takes there); DeleteFileW is shown beside.\n"
        print "| cookies | Find | least walk | ratio | Delete | DeleteFileW | ratio | careful deletions | ratio | memory after Find |"
        print "|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
        n = split(scales, scale, " ")
        for (i = 1; i <= n; i++) {
            s = scale[i]
            median(list[s, "memory"])
            memory = high / 1024
            printf "| %s | %s | %s | %.2f | %s | %s | %.2f | %s | %.2f | +%.1f MiB |\n", s,
                show(list[s, "find"]), show(list[s, "walk"]), ratios(list[s, "find"], list[s, "walk"]),
                show(list[s, "delete"]), show(list[s, "deletions"]), ratios(list[s, "delete"], list[s, "deletions"]),
                show(list[s, "careful"]), ratios(list[s, "delete"], list[s, "careful"]), memory
            find[i] = median(list[s, "find"]) / s; remove[i] = median(list[s, "delete"]) / s
        }
        if (n >= 2)
            printf "\nTime per file, %s against %s: Find %.2fx, Delete %.2fx\n", scale[n], scale[n - 1],
                find[n] / find[n - 1], remove[n] / remove[n - 1]
    }' "$figures"
