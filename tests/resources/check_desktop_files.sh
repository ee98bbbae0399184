#!/bin/sh
# Validates the desktop entry and the AppStream metainfo with the freedesktop
# tools. Exits 77 (skipped) when a tool is missing; installs nothing.
# Usage: check_desktop_files.sh RESOURCES_DIR
set -eu
resources=$1
for tool in desktop-file-validate appstreamcli; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: $tool not found (Debian packages desktop-file-utils, appstream); desktop files not checked"
        exit 77
    fi
done

status=0
# desktop-file-validate exits 0 even on hints; treat any message as a failure.
report=$(desktop-file-validate "$resources/tallowick.desktop" 2>&1) || status=1
if [ -n "$report" ]; then
    echo "$report"
    status=1
fi

# --pedantic also reports style issues; only warnings and errors fail validation.
appstreamcli validate --no-net --pedantic "$resources/tallowick.metainfo.xml" || status=1

# The metainfo must point at this desktop entry and this program.
grep -qF '<launchable type="desktop-id">tallowick.desktop</launchable>' "$resources/tallowick.metainfo.xml" \
    || { echo "FAIL: metainfo does not launch tallowick.desktop"; status=1; }
grep -qx 'Exec=tallowick' "$resources/tallowick.desktop" \
    || { echo "FAIL: desktop entry does not run tallowick"; status=1; }
grep -qx 'Icon=tallowick' "$resources/tallowick.desktop" \
    || { echo "FAIL: desktop entry does not use the tallowick icon"; status=1; }
[ "$status" -eq 0 ] && echo "PASS: desktop entry and metainfo validate"
exit "$status"
