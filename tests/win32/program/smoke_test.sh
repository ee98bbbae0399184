#!/usr/bin/env bash
# Tallowick.exe itself under Wine, driven from outside as a user would: Find,
# Delete, then close; then the disk is compared with what it held before,
# and Wine's trace shows that the program called nothing of msvcrt.dll.
# Runs inside a Wine session of windows-tests.sh, which exports WINEPREFIX
# and TALLOWICK_WINE (the loader):
#
#   windows-tests.sh session PREFIX win32 smoke_test.sh EXE DRIVER VERSION HOW
#
# VERSION is the Windows version Wine reports to the program (win98, nt40);
# HOW is how it is closed at the end: button (its Close button) or message
# (WM_CLOSE, as the title bar's close box sends).
set -euo pipefail

exe=${1:?exe} driver=${2:?window_driver.exe} version=${3:?version} how=${4:?button or message}
wine=${TALLOWICK_WINE:?run me through windows-tests.sh session}
drive_c=${WINEPREFIX:?}/drive_c

failed=0
fail() { echo "FAIL ($version): $*" >&2; failed=1; }

# The folders the program searches (a fresh prefix has none of them): made
# for the test and removed after it, with windows/notes.txt outside them.
searched=(windows/Cookies windows/Profiles "windows/Temporary Internet Files" winnt)
remove_tree() { (cd "$drive_c" && rm -rf -- "${searched[@]}" windows/notes.txt); }
trap remove_tree EXIT
remove_tree

make_file() { mkdir -p -- "$drive_c/$(dirname -- "$1")" && echo "$1" >"$drive_c/$1"; }

# Cookie files: a name that contains ".txt" (case matters, anywhere in the
# name) in a searched folder's own files or in the cookies folder of one of
# its subfolders. Names outside ASCII: "café" is in the ANSI code page
# (1252), Cyrillic file and folder names are not, so on Windows 98 the
# program reaches those by their short names.
ansi_cookies=(
    "windows/Cookies/alice@example[1].txt"
    "windows/Cookies/café@example[2].txt"
    "windows/Cookies/index.txt.bak"
    "windows/Cookies/sub/cookies/nested@example[1].txt"
    "windows/Profiles/top.txt"
    "windows/Profiles/alice/Cookies/alice@site[1].txt"
    "windows/Temporary Internet Files/tif.txt"
    "windows/Temporary Internet Files/Content.IE5/cookies/ie@site[1].txt"
    "winnt/Cookies/bob@example[1].txt"
    "winnt/Profiles/bob/Cookies/bob@site[1].txt"
)
cyrillic_cookies=(
    "windows/Cookies/печенье@пример[1].txt"
    "windows/Profiles/alice/Cookies/кафе@site[1].txt"
    "windows/Profiles/мария/Cookies/maria@site[1].txt"
)
cookies=("${ansi_cookies[@]}" "${cyrillic_cookies[@]}")
# Files that must survive: other names in the same folders, and cookie-like
# names where the walk does not go.
others=(
    "windows/notes.txt"
    "windows/Cookies/index.dat"
    "windows/Cookies/README.TXT"
    "windows/Cookies/sub/deep.txt"
    "windows/Profiles/alice/notes.txt"
    "windows/Profiles/alice/Cookies/index.dat"
    "windows/Profiles/alice/Cookies/deeper/z.txt"
    "windows/Profiles/alice/Cookies/кафе.dat"
    "winnt/readme.txt"
    "winnt/Profiles/bob/Cookies/deeper/cookies/z.txt"
)
for file in "${cookies[@]}" "${others[@]}"; do make_file "$file"; done

listing() { (cd "$drive_c" && find "${searched[@]}" windows/notes.txt | LC_ALL=C sort); }
before=$(listing)
expected_after=$(grep -v -x -F -f <(printf '%s\n' "${cookies[@]}") <<<"$before")

# The paths as the program lists them: "c:\" and backslashes.
as_listed() { sed -e 's|^|c:\\|' -e 's|/|\\|g'; }
# Compared without regard to the case of ASCII letters: the disk does not
# keep the case of the program's fixed folder names.
folded() { tr '[:upper:]' '[:lower:]' | LC_ALL=C sort; }
expected_lines=$(printf '%s\n' "${cookies[@]}" | as_listed | folded)

"$wine" reg add 'HKCU\Software\Wine\AppDefaults\Tallowick.exe' /v Version /d "$version" /f >/dev/null

# Every call into msvcrt.dll is traced (Wine's relay). The program must make
# none: Wine's own DLLs need msvcrt.dll, so it cannot be switched off here.
"$wine" reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /d 'msvcrt.*' /f >/dev/null
relay_log=$(mktemp)
WINEDEBUG=+pid,+relay "$wine" "$exe" 2>"$relay_log" &
program=$!
stop_program() { kill "$program" 2>/dev/null || true; remove_tree; rm -f -- "$relay_log"; }
trap stop_program EXIT

# DRIVER prints the window's visible buttons, status line and list lines.
drive() {
    local output
    output=$("$wine" "$driver" "$@") || { fail "window_driver $* failed"; return 1; }
    printf '%s\n' "$output"
}
buttons() { sed -n 's/^button //p' <<<"$1" | LC_ALL=C sort | paste -sd, -; }
status() { sed -n 's/^status //p' <<<"$1"; }
lines() { sed -n 's/^line //p' <<<"$1"; }

echo "== $version: start"
window=$(drive wait) || exit 1
process=$(printf '%04x' "$(sed -n 's/^process //p' <<<"$window")")
[ "$(buttons "$window")" = "About,Close,Find Cookies" ] || fail "buttons at start: $(buttons "$window")"
[ -z "$(status "$window")" ] || fail "status line at start: $(status "$window")"

echo "== $version: Find Cookies"
window=$(drive click "Find Cookies") || exit 1
printf '%s\n' "$window"
[ "$(status "$window")" = "${#cookies[@]} Cookies found." ] || fail "status after Find: $(status "$window")"
[ "$(buttons "$window")" = "&Delete Cookies,About,Close" ] || fail "buttons after Find: $(buttons "$window")"
[ "$(lines "$window" | wc -l)" -eq "${#cookies[@]}" ] || fail "not ${#cookies[@]} lines in the list"
listed=$(lines "$window" | folded)
if [ "$version" = win98 ]; then
    # Windows 98 has the ANSI functions only: paths in the ANSI code page
    # are listed exactly, Cyrillic ones by other names (short ones).
    missing=$(printf '%s\n' "${ansi_cookies[@]}" | as_listed | folded | grep -v -x -F -f <(printf '%s\n' "$listed") || true)
    [ -z "$missing" ] || fail "not listed: $missing"
    exact=$(printf '%s\n' "${cyrillic_cookies[@]}" | as_listed | folded | grep -x -F -f <(printf '%s\n' "$listed") || true)
    [ -z "$exact" ] || fail "listed by their Cyrillic names, so not through the Windows 98 path: $exact"
else
    [ "$listed" = "$expected_lines" ] || fail "the list is not exactly the cookie files"
fi
[ "$(listing)" = "$before" ] || fail "Find changed the disk"

echo "== $version: Delete Cookies"
window=$(drive click "&Delete Cookies") || exit 1
printf '%s\n' "$window"
[ "$(status "$window")" = "Cookies eaten...yum!" ] || fail "status after Delete: $(status "$window")"
[ "$(buttons "$window")" = "About,Close,Find Cookies" ] || fail "buttons after Delete: $(buttons "$window")"
[ -z "$(lines "$window")" ] || fail "lines left in the list after Delete"
after=$(listing)
if [ "$after" != "$expected_after" ]; then
    fail "the disk after Delete is not the disk before without exactly the cookie files"
    diff <(printf '%s\n' "$expected_after") <(printf '%s\n' "$after") >&2 || true
fi
kill -0 "$program" 2>/dev/null || fail "the program ended after Delete"

echo "== $version: close ($how)"
case "$how" in
    button) drive press Close >/dev/null || exit 1 ;;
    message) drive close >/dev/null || exit 1 ;;
    *) echo "smoke_test: HOW is button or message" >&2; exit 2 ;;
esac
for _ in $(seq 300); do
    kill -0 "$program" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$program" 2>/dev/null; then
    fail "the program still runs 30 s after it was closed"
else
    exit_status=0
    wait "$program" || exit_status=$?
    [ "$exit_status" -eq 0 ] || fail "the program exited with status $exit_status"
fi

# The calls into msvcrt.dll made in the program's process (Wine's own
# processes may write to the same trace) that return into the exe's image
# (ImageBase and SizeOfImage from its PE header) are the program's own.
pe_field() { od -An -tu4 -N4 -j $(($(od -An -tu4 -N4 -j60 "$exe") + $1)) "$exe" | tr -d ' '; }
image_start=$(pe_field 52)
image_end=$((image_start + $(pe_field 80)))
returns=$(sed -n "s/^$process:[0-9a-f]*:Call msvcrt\\..* ret=\\([0-9a-f]*\\)\$/\\1/p" "$relay_log")
[ -n "$returns" ] || fail "no call into msvcrt.dll traced at all: the trace does not work"
for ret in $returns; do
    if ((16#$ret >= image_start && 16#$ret < image_end)); then
        fail "Tallowick.exe called msvcrt.dll: $(grep -m1 "ret=$ret\$" "$relay_log")"
        break
    fi
done

[ "$failed" -eq 0 ] && echo "== $version: passed"
exit "$failed"
