#!/usr/bin/env bash
# wine10_chroot.sh DIR COMMAND [ARGS...]: COMMAND, a host program, with Wine 10 as $WINE (and as wine
# and wineserver on PATH): trixie's Wine in the tree that scripts/wine10-chroot keeps, whose winscard
# reaches the host's pcscd. Inside, DIR (the build tree: programs and prefixes) and /tmp are the
# host's own, at the same paths. The mounts live in a mount namespace of this run's, so they go with
# it however it ends, and two runs side by side do not meet.
set -euo pipefail
fail() {
    echo "FAIL: $*"
    exit 1
}
if [ -z "${WINE10_TREE:-}" ]; then
    tree=$("$(dirname "$0")/../../scripts/wine10-chroot") ||
        fail "no Debian trixie tree with Wine 10, so the Windows build cannot meet a card"
    WINE10_TREE=$tree exec unshare --mount --propagation private "$0" "$@"
fi
dir=$1
shift
tree=$WINE10_TREE
mkdir -p "$tree$dir" "$tree/run/pcscd"
mount -t proc proc "$tree/proc"
mount --bind /tmp "$tree/tmp"
mount --bind "$dir" "$tree$dir"
[ ! -d /run/pcscd ] || mount --bind /run/pcscd "$tree/run/pcscd"
# Trixie's libpcsclite speaks protocol 4:5, which bookworm's pcscd refuses; the host's own speaks its
# pcscd's.
mount --bind "$(readlink -f /usr/lib/x86_64-linux-gnu/libpcsclite.so.1)" \
    "$tree/usr/lib/x86_64-linux-gnu/libpcsclite.so.1"

bin=$(mktemp -d)
runtime=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$bin" "$runtime"' EXIT
for tool in wine wineserver; do
    # shellcheck disable=SC2016 # expanded when it runs
    printf '#!/bin/sh\n[ -d "$WINE10_TREE$PWD" ] || cd /\nexec chroot "$WINE10_TREE" /usr/bin/env -C "$PWD" /usr/bin/%s "$@"\n' \
        "$tool" >"$bin/$tool"
    chmod +x "$bin/$tool"
done
export WINE10_TREE PATH=$bin:$PATH WINE=$bin/wine XDG_RUNTIME_DIR=$runtime LC_ALL=C.UTF-8
"$@"
