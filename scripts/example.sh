#!/usr/bin/env bash
# Builds SETUP.EXE and the example product Tiny Clock (examples/tinyclock), and installs it under
# Wine as a user would: the robot answers every dialog with its default button (OK, the
# proposed folder, OK) and prints what each dialog and each Notepad showed; then the log file of
# the run is printed.
#
#   example.sh [1 | 2 | uninstall] [bundle | plan]
#
# 1 (the default) installs version 1.0 from the first medium, 2 installs version 2.0 over it
# from the second; uninstall runs the command that the software list keeps for Tiny Clock, as
# the list itself runs it, then looks for every file, link, folder, registry key and script
# copy of Tiny Clock and fails when one is left (a folder that holds files the installation did
# not make is the user's, and stays). EXAMPLE_BUILD=<build dir> takes an existing build instead
# of building build/main. With "bundle", 1 and 2 install from the version's one file,
# TinyClock-1.0-setup.exe or TinyClock-2.0-setup.exe, instead of the medium's folder. With
# "plan", 1 and 2 install nothing: SETUP.EXE /plan writes what that installation would do on
# this machine, which is printed.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
what=${1:-1}
form=${2:-folder}
case $what/$form in
1/folder | 2/folder | uninstall/folder | 1/bundle | 2/bundle | 1/plan | 2/plan) ;;
*) echo "usage: example.sh [1 | 2 | uninstall] [bundle | plan]" >&2; exit 2 ;;
esac
build=${EXAMPLE_BUILD:-$root/build/main}
# The uninstallation needs only the machine, not a build.
if [ "$what" = uninstall ]; then
    "$here/setup-machine.sh"
elif [ -z "${EXAMPLE_BUILD:-}" ]; then
    "$here/build.sh" Setup robot-exe TinyClockDisks $([ "$form" = bundle ] && echo TinyClockBundles)
fi
wine() { "$here/wine-run" "$@"; }
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
unixpath() { wine winepath -u "$1" 2>/dev/null | tr -d '\r'; }
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TinyClock'

if [ "$what" = uninstall ]; then
    # SETUP.EXE is a 32-bit program: its entry lies in the 32-bit part of the registry.
    query() { wine reg query "$1" /v "$2" /reg:32 2>/dev/null | tr -d '\r' |
              sed -nE "s/^ +$2 +REG_SZ +//p"; }
    has_key() { wine reg query "$1" /reg:32 >/dev/null 2>&1; }
    command=$(query "$uninstall_key" UninstallString)
    [ -n "$command" ] || { echo "Tiny Clock is not in the list of installed software" >&2; exit 1; }
    # The installed script: the first field after LaunchINFSection.
    inf_win=${command#*LaunchINFSection }
    inf_win=${inf_win%%,*}
    inf=$(unixpath "$inf_win")
    [ -f "$inf" ] || { echo "the entry names $inf_win, which is not there" >&2; exit 1; }
    section() { tr -d '\r' < "$inf" | sed -n "/^\[$1\]/,/^\[/p" | grep -v -e '^\[' -e '^;' -e '^$'; }
    folder=$(tr -d '\r' < "$inf" | sed -n 's/^MyProgramPath=//p')
    menu=$(tr -d '\r' < "$inf" | sed -n 's/^MyStartMenu=//p')
    # What the installation made, by the names its uninstall section lists.
    mapfile -t program_files < <(section Program.Del)
    mapfile -t menu_files < <(section Menu.Del)
    echo "---- cmd /c $command"
    wine cmd /c "$command"

    left=0
    leftover() { echo "---- left: $1"; left=1; }
    echo "---- looking for what is left of Tiny Clock"
    for name in "${program_files[@]}"; do
        [ -e "$(unixpath "$folder\\$name")" ] && leftover "$folder\\$name"
    done
    for name in "${menu_files[@]}"; do
        [ -e "$(unixpath "$menu\\$name")" ] && leftover "$menu\\$name"
    done
    [ $left = 0 ] && echo "     gone: the ${#program_files[@]} files and ${#menu_files[@]} links that the uninstall section names"
    for dir in "$folder" "$menu"; do
        unix=$(unixpath "$dir")
        [ -d "$unix" ] || { echo "     gone: $dir"; continue; }
        # A folder stays when it holds what was not installed: that is the user's.
        if [ -z "$(ls -A "$unix")" ]; then
            leftover "$dir, empty"
        else
            echo "     kept: $dir, holding what was not installed: $(ls -A "$unix" | tr '\n' ' ')"
        fi
    done
    for file in "$inf_win" "${inf_win%.*}.PNF"; do
        [ -e "$(unixpath "$file")" ] && leftover "$file" || echo "     gone: $file"
    done
    for key in 'HKCU\Software\TinyClock' "$uninstall_key"; do
        has_key "$key" && leftover "$key" || echo "     gone: $key"
    done
    [ $left = 0 ] && echo "---- nothing of Tiny Clock is left"
    exit $left
fi

medium="$root/build/example"
rm -rf "$medium"
mkdir -p "$medium/tmp"
if [ "$form" = bundle ]; then
    program=TinyClock-$what.0-setup.exe
    cp "$build/examples/tinyclock/$program" "$medium/"
else
    program=SETUP.EXE
    cp "$build/Setup/SETUP.EXE" "$build/examples/tinyclock/disk$what"/* "$medium/"
fi

status=0
if [ "$form" = plan ]; then
    # Nothing is shown and nothing changes: no robot is needed.
    wine "$medium/$program" "/plan=$(winpath "$medium/plan.txt")" || status=$?
    tr -d '\r' < "$medium/plan.txt"
    exit $status
fi
wine "$build/tests/robot/robot.exe" --defaults --transcript "$medium/transcript.txt" \
    --env "tmp=$(winpath "$medium/tmp")" --env "temp=$(winpath "$medium/tmp")" -- \
    "$(winpath "$medium/$program")" || status=$?
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
