#!/usr/bin/env bash
# Runs a command while a small RAM disk (tmpfs) of KBYTES is drive DRIVE of the project's Wine
# prefix, so that a Windows program writing there meets a full disk. The command finds the drive
# in SETUP_FULL_DRIVE ("Q:"). The drive and the disk go however the command ends; the command
# gets a time limit of its own, so that it ends before a caller's limit could kill this script.
# Needs root (mount). Usage: fulldisk-run.sh DRIVE KBYTES -- COMMAND [ARG...]
set -u
if [ $# -lt 4 ] || [ "$3" != "--" ]; then
    echo "usage: $0 DRIVE KBYTES -- COMMAND [ARG...]" >&2
    exit 2
fi
scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../scripts" && pwd)
. "$scripts/wine-env"
"$scripts/wine-prefix" || exit 1
drive=$(tr 'A-Z' 'a-z' <<<"$1")
link=$WINEPREFIX/dosdevices/$drive:
kbytes=$2
shift 3
limit=${FULLDISK_RUN_LIMIT:-90}
disk=$(mktemp -d /tmp/setup-fulldisk.XXXXXX)

cleanup() {
    rm -f "$link"
    umount "$disk" 2>/dev/null
    rmdir "$disk"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

mount -t tmpfs -o "size=${kbytes}k,mode=0777" tmpfs "$disk" || exit 1
ln -sfn "$disk" "$link" || exit 1
export SETUP_FULL_DRIVE="$(tr 'a-z' 'A-Z' <<<"$drive"):"
status=0
timeout --kill-after=5 "$limit" "$@" || status=$?
exit "$status"
