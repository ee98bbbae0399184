#!/bin/sh
# Runs COMMAND with i386 programs handed to qemu-i386-static and the shim of
# build-shim.sh preloaded. Only ever inside a private user and mount
# namespace (unshare --user --map-root-user --mount): the binfmt_misc entry
# registered here lives and dies with that namespace and never reaches the
# host, where it would change how other programs run.
#
#   in-namespace.sh SHIM_DIR COMMAND [ARGS...]
set -eu

shim=$(readlink -f -- "${1:?usage: in-namespace.sh SHIM_DIR COMMAND [ARGS...]}")
shift

# A private binfmt_misc exists only in a user namespace of one's own; refuse
# to touch the host's, whose namespace maps every user id (0 0 4294967295).
if [ "$(awk '{ print $3 }' /proc/self/uid_map)" = 4294967295 ]; then
    echo "in-namespace.sh: not inside a private user namespace" >&2
    exit 1
fi
mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
# The F flag opens qemu now, so the binary need not be reachable later.
printf '%s\n' ':tallowick-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
    >/proc/sys/fs/binfmt_misc/register

# Emulated programs that crash leave no core files behind (qemu writes them
# to the current folder).
ulimit -c 0
LD_PRELOAD="$shim/\$LIB/wine_on_qemu.so${LD_PRELOAD:+ $LD_PRELOAD}"
export LD_PRELOAD
exec "$@"
