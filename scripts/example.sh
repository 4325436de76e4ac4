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
    --env "tmp=$(winpath "$medium/tmp")" --env "temp=$(winpath "$medium/tmp")" -- \
    "$(winpath "$medium/SETUP.EXE")" || status=$?

# The log is in the installation directory, or in the temporary one.
find "$medium" -name LOGFILKV.LOG | sort | while read -r log; do
    echo "---- $(winpath "$log")"
    tr -d '\r' < "$log"
done
exit $status
