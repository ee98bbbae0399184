"""Counts the samples of `perf script -F ip,sym` taken during one click of
the program under the parts of its work, for profile.sh:

    profile_parts.py find|delete < script

A sample counts for the click when its stack holds the click's handler (or,
for Find, the timed click itself, whose repaint follows the handler), and
goes to the first part that one of its frames names, from the innermost
frame out. Besides, the share of the samples in the kernel, in page faults
and in the allocator, wherever they were called from."""

import re
import sys
from collections import Counter

PARTS = {
    "find": [
        ("walk: readdir, open, stat, the folder resolver",
         r"getdents|readdir|opendir|closedir|openat|fstatat|FolderResolver|OpenFolderStream|FolderExists|FolderWay::"),
        ("path building: the listing's paths and names, its per-folder lists",
         r"DriveFolder::|IsNameOnDrive|WindowsPath::"),
        ("the collection: CookieList", r"TextCollection|TextStore|AddCookieFiles|IsCookieName"),
        ("sorting: keys and comparisons", r"ShownBefore|introsort|insertion_sort|LineListModel::Commit"),
        ("list insertion: the list's copies of the texts and keys", r"LineListModel::Append|ShowCookieList"),
        ("layout and painting: line sizes, QStrings, paint",
         r"doItemsLayout|sizeHint|WidestLine|syncBackingStore|paintEvent|drawWidget|QLabel|LineListModel::data"),
    ],
    "delete": [
        ("unlinkat", r"unlinkat"),
        ("the entry's check before it (fstatat)", r"WineDisk::Examine|fstatat"),
        ("reading the path, following its folders", r"WindowsPath::|FolderWay::|FolderResolver|WineDisk::Remove"),
        ("results and errors", r"Error::|~Error|runtime_error|DeletionResult"),
        ("the collection: CookieList", r"TextCollection|EmptyCookieList"),
        ("clearing the list, painting", r"LineListModel::Clear|syncBackingStore|doItemsLayout|paintEvent"),
        ("the deletion's own code", r"DriveDeletion::"),
    ],
}
CLICK = {"find": "TimedClick", "delete": "DeleteCookies"}
ACROSS = [
    ("in the kernel", r"entry_SYSCALL|exc_page_fault"),
    ("in page faults (first use of new memory)", r"exc_page_fault"),
    ("in malloc and free", r"^(_int_malloc|_int_free|malloc|free|cfree|malloc_consolidate|__GI___libc_malloc|__GI___libc_free|operator new|operator delete)"),
]


def samples(lines):
    stack = []
    for line in lines:
        frame = line.strip().split(None, 1)
        if len(frame) == 2:
            stack.append(frame[1])
        elif not line.strip() and stack:
            yield stack
            stack = []
    if stack:
        yield stack


def main():
    mode = sys.argv[1]
    parts = [(name, re.compile(pattern)) for name, pattern in PARTS[mode]]
    across = [(name, re.compile(pattern)) for name, pattern in ACROSS]
    counts, shares, total = Counter(), Counter(), 0
    for stack in samples(sys.stdin):
        if not any(CLICK[mode] in frame for frame in stack):
            continue
        total += 1
        part = next((name for frame in stack for name, pattern in parts if pattern.search(frame)), "other")
        counts[part] += 1
        for name, pattern in across:
            shares[name] += any(pattern.search(frame) for frame in stack)
    if total == 0:
        sys.exit("profile_parts.py: no sample during the click")
    for name, _ in parts + [("other", None)]:
        print(f"  {100 * counts[name] / total:5.1f}%  {name}")
    print("  of all of them:")
    for name, _ in across:
        print(f"  {100 * shares[name] / total:5.1f}%  {name}")


main()
