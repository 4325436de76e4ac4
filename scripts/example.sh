#!/usr/bin/env bash
# Builds SETUP.EXE and runs the example installation of examples/demo under Wine. The robot
# answers every dialog with its default button and prints what each dialog showed; then the
# log file of the run is printed.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
"$here/build.sh"

medium="$root/build/example"
rm -rf "$medium"
mkdir -p "$medium/tmp"
cp "$root/build/main/Setup/SETUP.EXE" "$root"/examples/demo/* "$medium/"
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

status=0
"$here/wine-run" "$root/build/main/tests/robot/robot.exe" --defaults \
    --transcript "$medium/transcript.txt" \
    --env "tmp=$(winpath "$medium/tmp")" --env "temp=$(winpath "$medium/tmp")" -- \
    "$(winpath "$medium/SETUP.EXE")" || status=$?
cat "$medium/transcript.txt"

# The report names the log file (control 107 of the last dialog): in the installation
# directory, or in the temporary one.
log=$(grep -E '^ +107 Static' "$medium/transcript.txt" | tail -n 1 |
      sed -E 's/^ +107 Static +"(.*)"$/\1/; s/\\\\/\\/g')
if [ -n "$log" ]; then
    unix=$("$here/wine-run" winepath -u "$log" 2>/dev/null | tr -d '\r')
    echo "---- $log"
    [ -f "$unix" ] && tr -d '\r' < "$unix"
fi
exit $status
