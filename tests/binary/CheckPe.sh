#!/usr/bin/env bash
# SETUP.EXE must be a 32-bit GUI program that imports no DLL at its start but the kernel and the
# C run-time. Its size limit is the test SetupSize's (bench/sizemap.py), kept in that one place.
set -u
exe=$1
fail=0
headers=$(i686-w64-mingw32-objdump -p "$exe")
grep -q '^Magic[[:space:]]*010b' <<<"$headers" || { echo "not PE32"; fail=1; }
grep -q '^Subsystem[[:space:]]*00000002' <<<"$headers" || { echo "not a GUI program"; fail=1; }
size=$(stat -c %s "$exe")
# Imported at the start: only the kernel and the C run-time. Every other system DLL is loaded at
# its first call, after the program has taken its own folder out of the DLL search.
allowed='^(kernel32|msvcrt)\.dll$'
while read -r dll; do
    grep -qiE "$allowed" <<<"$dll" || { echo "imports $dll"; fail=1; }
done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
echo "$(basename "$exe"): $size bytes"
exit $fail
