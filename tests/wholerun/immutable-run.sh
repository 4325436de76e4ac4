#!/usr/bin/env bash
# Runs a command while a folder is immutable (chattr +i): Wine then reports access denied for it
# to Windows programs, even when they run as root, whom file permissions deny nothing. The folder
# is made mutable again however the command ends; the command gets a time limit of its own, so
# that it ends before a caller's limit could kill this script before it restores the folder.
# DIR is a folder inside the project's Wine prefix (scripts/wine-env chooses the prefix).
# Usage: immutable-run.sh DIR -- COMMAND [ARG...]
set -u
if [ $# -lt 3 ] || [ "$2" != "--" ]; then
    echo "usage: $0 DIR -- COMMAND [ARG...]" >&2
    exit 2
fi
scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../scripts" && pwd)
. "$scripts/wine-env"
"$scripts/wine-prefix" || exit 1
dir=$WINEPREFIX/$1
shift 2
if [ ! -d "$dir" ]; then
    echo "$0: no folder $dir in the Wine prefix" >&2
    exit 2
fi
limit=${IMMUTABLE_RUN_LIMIT:-90}

restore() {
    if ! chattr -i "$dir"; then
        echo "$0: could not make $dir mutable again: run chattr -i $dir" >&2
        exit 3
    fi
}
trap restore EXIT
trap 'exit 130' INT TERM HUP

chattr +i "$dir" || exit 1
status=0
timeout --kill-after=5 "$limit" "$@" || status=$?
exit "$status"
