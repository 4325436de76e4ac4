#!/bin/sh
# Makes a delay-load import library of DLL from the toolchain's import library IMPORTLIB:
# every routine that IMPORTLIB names, loaded at its first call.
# usage: delay-import.sh NM DLLTOOL IMPORTLIB DLL OUTPUT
set -eu
nm=$1 dlltool=$2 importlib=$3 dll=$4 out=$5
def=$out.def
{
    echo "LIBRARY $dll"
    echo "EXPORTS"
    "$nm" "$importlib" | sed -n 's/^.* I __imp__\(.*\)$/\1/p' | sort -u
} >"$def"
"$dlltool" --kill-at --input-def "$def" --dllname "$dll" --output-delaylib "$out"
