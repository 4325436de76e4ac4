#!/usr/bin/env bash
# SETUP.EXE must be a 32-bit GUI program, small, that needs no DLL beyond those every Windows has.
set -u
exe=$1
fail=0
headers=$(i686-w64-mingw32-objdump -p "$exe")
grep -q '^Magic[[:space:]]*010b' <<<"$headers" || { echo "not PE32"; fail=1; }
grep -q '^Subsystem[[:space:]]*00000002' <<<"$headers" || { echo "not a GUI program"; fail=1; }
size=$(stat -c %s "$exe")
[ "$size" -lt 409600 ] || { echo "too large: $size bytes"; fail=1; }
allowed='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|version|comctl32|comdlg32|msvcrt|shlwapi)\.dll$'
while read -r dll; do
    grep -qiE "$allowed" <<<"$dll" || { echo "imports $dll"; fail=1; }
done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
echo "$(basename "$exe"): $size bytes"
exit $fail
