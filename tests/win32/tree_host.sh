#!/usr/bin/env bash
# Runs the generated-tree tests (win32_tree_tests.exe) and does for them
# on the host what Win32 cannot do under Wine: make symbolic links (and
# names Windows forbids), and list entries with their link texts. Runs
# inside a Wine session of windows-tests.sh, which exports WINEPREFIX and
# TALLOWICK_WINE (the loader):
#
#   windows-tests.sh session PREFIX ARCH tree_host.sh PROGRAM [ARGS...]
#
# The program asks with a line "@@tallowick-host SCRIPT OUTPUT" on its
# standard output (paths from the prefix's folder); this script runs SCRIPT
# there in a subshell, its output into OUTPUT, and answers with its exit
# status on the program's standard input. Every other line is passed
# through.
set -euo pipefail

wine=${TALLOWICK_WINE:?run me through windows-tests.sh session}
cd -- "${WINEPREFIX:?}"

# Under qemu every Win32 call is emulated: fewer trees, unless asked.
if [ -n "${TALLOWICK_WINE_ON_QEMU:-}" ] && [ -z "${TALLOWICK_TREE_SEED:-}" ]; then
    export TALLOWICK_TREE_SEEDS=${TALLOWICK_TREE_SEEDS:-50}
fi
export TALLOWICK_TREE_HOST=1

coproc program { "$wine" "$@"; }
pid=$program_PID
# The coprocess's descriptors go when it ends; these copies stay.
exec {from_program}<&"${program[0]}" {to_program}>&"${program[1]}"

while IFS= read -r line <&"$from_program"; do
    line=${line%$'\r'}
    case $line in
    "@@tallowick-host "*)
        read -r script output <<<"${line#@@tallowick-host }"
        status=0
        (set -eu && source "$script") >"$output" || status=$?
        echo "$status" >&"$to_program"
        ;;
    *) printf '%s\n' "$line" ;;
    esac
done

status=0
wait "$pid" || status=$?
exit "$status"
