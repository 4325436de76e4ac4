#!/usr/bin/env bash
# Walks the README's road as a newcomer does, from whatever this clone holds (nothing built is
# fine): ./scripts/example.sh, ./scripts/example.sh 2, ./scripts/example.sh uninstall. Each must
# succeed, both installations must report "Installation successfully!", and the uninstallation
# must leave nothing of Tiny Clock. Then the same road once more with a file of the user's own
# put into the installation folder: that file and its folder must stay, everything else must go.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
out=$(mktemp -d "${TMPDIR:-/tmp}/readme-road.XXXXXX")
trap 'rm -rf "$out"' EXIT

step() {
    local name=$1
    shift
    echo "==== README road: $*"
    SECONDS=0
    if ! "$@" >"$out/$name.txt" 2>&1; then
        cat "$out/$name.txt"
        echo "==== README road: '$*' failed" >&2
        exit 1
    fi
    echo "     done in $SECONDS s"
}
reports() {
    grep -q '"Installation successfully!"' "$out/$1.txt" || {
        cat "$out/$1.txt"
        echo "==== README road: '$1' did not report \"Installation successfully!\"" >&2
        exit 1
    }
}

step first "$here/example.sh"
reports first
step second "$here/example.sh" 2
reports second
step uninstall "$here/example.sh" uninstall
sed -n '/^---- looking/,$p' "$out/uninstall.txt"

# The user's own file in the installation folder survives the uninstallation.
export EXAMPLE_BUILD=$root/build/main
step again "$here/example.sh"
reports again
. "$here/wine-env"
folder=$("$here/wine-run" reg query 'HKCU\Software\TinyClock' /v Folder 2>/dev/null | tr -d '\r' |
         sed -nE 's/^ +Folder +REG_SZ +//p')
mine="$("$here/wine-run" winepath -u "$folder" 2>/dev/null | tr -d '\r')/My notes.txt"
echo "meeting at 10" >"$mine"
step kept "$here/example.sh" uninstall
sed -n '/^---- looking/,$p' "$out/kept.txt"
if [ "$(cat "$mine" 2>/dev/null)" != "meeting at 10" ]; then
    echo "==== README road: the uninstallation took the user's own file $folder\\My notes.txt" >&2
    exit 1
fi
rm -rf "$(dirname "$mine")"
echo "==== README road: all steps passed"
