#!/usr/bin/env bash
# Builds SETUP.EXE and the example product Tiny Clock (examples/tinyclock), and installs it under
# Wine as a user would: the robot answers every dialog with its default button (OK, the
# proposed folder, OK) and prints what each dialog and each Notepad showed; then the log file of
# the run is printed.
#
#   example.sh [1 | 2 | uninstall]
#
# 1 (the default) installs version 1.0 from the first medium, 2 installs version 2.0 over it
# from the second; uninstall runs the command that the software list keeps for Tiny Clock, as
# the list itself runs it, and shows what is left. EXAMPLE_BUILD=<build dir> takes an existing
# build instead of building build/main.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
what=${1:-1}
case $what in
1 | 2 | uninstall) ;;
*) echo "usage: example.sh [1 | 2 | uninstall]" >&2; exit 2 ;;
esac
build=${EXAMPLE_BUILD:-$root/build/main}
if [ -z "${EXAMPLE_BUILD:-}" ]; then
    "$here/build.sh" Setup robot TinyClockDisks
fi
wine() { "$here/wine-run" "$@"; }
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
unixpath() { wine winepath -u "$1" 2>/dev/null | tr -d '\r'; }
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TinyClock'

if [ "$what" = uninstall ]; then
    # SETUP.EXE is a 32-bit program: its entry lies in the 32-bit part of the registry.
    query() { wine reg query "$1" /v "$2" /reg:32 2>/dev/null | tr -d '\r' |
              sed -nE "s/^ +$2 +REG_SZ +//p"; }
    command=$(query "$uninstall_key" UninstallString)
    [ -n "$command" ] || { echo "Tiny Clock is not in the list of installed software" >&2; exit 1; }
    inf=$(unixpath "${command##* }")
    folder=$(tr -d '\r' < "$inf" | sed -n 's/^MyProgramPath=//p')
    menu=$(tr -d '\r' < "$inf" | sed -n 's/^MyStartMenu=//p')
    echo "---- cmd /c $command"
    wine cmd /c "$command"
    for dir in "$folder" "$menu"; do
        [ -n "$dir" ] && [ -d "$(unixpath "$dir")" ] &&
            echo "---- left: $dir, holding: $(ls -A "$(unixpath "$dir")" | tr '\n' ' ')"
    done
    exit 0
fi

medium="$root/build/example"
rm -rf "$medium"
mkdir -p "$medium/tmp"
cp "$build/Setup/SETUP.EXE" "$build/examples/tinyclock/disk$what"/* "$medium/"

status=0
wine "$build/tests/robot/robot.exe" --defaults --transcript "$medium/transcript.txt" \
    --env "tmp=$(winpath "$medium/tmp")" --env "temp=$(winpath "$medium/tmp")" -- \
    "$(winpath "$medium/SETUP.EXE")" || status=$?
cat "$medium/transcript.txt"

# The report names the log file (control 107 of the last dialog): in the installation
# directory, or in the temporary one.
log=$(grep -E '^ +107 Static' "$medium/transcript.txt" | tail -n 1 |
      sed -E 's/^ +107 Static +"(.*)"$/\1/; s/\\\\/\\/g')
if [ -n "$log" ]; then
    unix=$(unixpath "$log")
    echo "---- $log"
    [ -f "$unix" ] && tr -d '\r' < "$unix"
fi
exit $status
