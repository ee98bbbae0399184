#!/usr/bin/env bash
# Checks that the runtime members rebuilt for the processor floor come from
# the very sources and flags of Debian's runtime: each, built again with
# Debian's flags alone, holds the same instructions at the same offsets as
# the member in Debian's archive (symbol names aside: Debian strips local
# ones). So the floor's members differ from Debian's only by the processor
# they are built for.
#
#   check_runtime_members.sh OBJDUMP MANIFEST
#
# MANIFEST holds one line per member: Debian's archive (or object file), the
# member's name, and the member built here with Debian's flags.
set -euo pipefail

objdump=${1:?objdump} manifest=${2:?manifest}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
count=0

instructions() { "$objdump" -d --no-show-raw-insn "$1" | grep -E '^ +[0-9a-f]+:' | sed 's/<[^>]*>//g'; }

while read -r system member rebuilt; do
    [ -n "$system" ] || continue
    if [[ $system == *.a ]]; then
        (cd "$work" && ar x "$system" "$member")
        debian=$work/$member
    else
        debian=$system
    fi
    if ! diff <(instructions "$debian") <(instructions "$rebuilt") >"$work/diff"; then
        echo "check_runtime_members: $member of $system differs from its rebuild $rebuilt:" >&2
        head -20 "$work/diff" >&2
        failed=1
    elif [ "$(instructions "$debian" | wc -l)" -lt 10 ]; then
        echo "check_runtime_members: $member of $system: no code found to compare" >&2
        failed=1
    fi
    rm -f "$work/$member"
    count=$((count + 1))
done <"$manifest"

[ "$count" -gt 0 ] || { echo "check_runtime_members: $manifest lists no member" >&2; failed=1; }
if [ "$failed" = 0 ]; then
    echo "check_runtime_members: $count members rebuilt from Debian's sources match Debian's build"
fi
exit "$failed"
