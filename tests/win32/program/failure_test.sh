#!/usr/bin/env bash
# Exceptions on Tallowick.exe's own runtime and start-up: an error thrown in
# an event handler of failure_program.exe is shown in the failure report,
# with its number and description, and the program ends with status 1 when
# the report is dismissed; one thrown outside any handler reaches the C++ runtime's
# terminate handler, which says so on standard error, and abort. Runs inside
# a Wine session of windows-tests.sh (TALLOWICK_WINE is the loader):
#
#   windows-tests.sh session PREFIX win32 failure_test.sh PROGRAM DRIVER
set -euo pipefail

program=${1:?failure_program.exe} driver=${2:?window_driver.exe}
wine=${TALLOWICK_WINE:?run me through windows-tests.sh session}
failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }

"$wine" "$program" handler &
running=$!
report=$("$wine" "$driver" wait) || fail "no failure report shown"
printf '%s\n' "$report"
# The path is missing (error 3), in the system's own words after it.
grep -qE '^status Error 3: c:\\tallowick-missing\\a\.txt: .+' <<<"$report" ||
    fail "the report does not read: Error 3: c:\\tallowick-missing\\a.txt: <the system's text>"
"$wine" "$driver" press OK >/dev/null || fail "the report has no OK button"
status=0
wait "$running" || status=$?
[ "$status" -eq 1 ] || fail "the program ended with status $status after its report, not 1"

status=0
said=$("$wine" "$program" uncaught 2>&1 >/dev/null) || status=$?
printf '%s\n' "$said"
[ "$status" -eq 3 ] || fail "an error outside any handler ended the program with status $status, not abort's 3"
grep -qxF "terminate called after throwing an instance of 'tallowick::Error'" <<<"$said" ||
    fail "the terminate handler did not name the error on standard error"
exit "$failed"
