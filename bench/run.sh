#!/usr/bin/env bash
# The benchmark: builds SETUP.EXE, the dialog robot, the reference copier and the minimal dialog
# program, then measures SETUP.EXE (see bench.py) against them and against an NSIS installer of
# the same payload, and ends with a table of every speed, start, size and memory figure, its
# target and whether it holds.
#
#   bench/run.sh [--only PART[,PART...]] [--quick] [--rounds N] [ROUNDS]
#
#   --only     parts to run (all by default):
#                files  small-file tree and large files against wine xcopy, a reference loop, cp;
#                       the small tree's first install with Rollback=Yes against it without
#                keys   [Files] scripts of 1,000/5,000/20,000 keys and one pattern key; [RegWrite]
#                       scripts of as many lines
#                start  time to the first dialog against a minimal program; the fixed cost, and
#                       its parts from one run under strace
#                size   SETUP.EXE's bytes (and bench/sizemap.sh's map, where it exists)
#                bundle SETUP.EXE /bundle: size against zip -9, run against the folder run and
#                       extrac32, memory of a 1 GB bundle; the small tree's bundle run quiet
#                       (/quiet /dir=) against an NSIS installer of the same tree (makensis,
#                       default zlib, run /S /D=), its size against the installer's, both
#                       runs cut into their passes (until the first file, copies, after)
#                scale  100,000 files of 1 to 8 KB in 500 folders (450 MB): SETUP.EXE quiet from
#                       the folder against the reference loop, and SETUP.EXE's peak memory;
#                       slow: about 6 minutes a round (2 x 100,000 copies), and a few minutes
#                       once to make the payload
#   --quick    one round unless --rounds says otherwise, and key counts of 200/1,000/4,000: for
#              trying the benchmark out, not for figures to quote
#   --rounds   rounds (default 5); a bare number means the same
#
# The report's first line says how long the rounds took; a round with the full key counts takes
# minutes. BENCH_BUILD names the build folder (default build/bench/build); it is
# configured and built here. Runs use a Wine prefix of their own (build/bench/wineprefix) with
# its own wineserver, so that tests running at the same time don't share it; that server is
# stopped at the end. The payloads (about 230 MB and 26,000 small files, with scale 850 MB and
# 126,000) stay in build/bench/work/medium for the next run.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
bench=$root/build/bench
rounds=
args=()
while (($#)); do
    case $1 in
    --only) args+=(--only "$2"); shift 2 ;;
    --quick) args+=(--quick); shift ;;
    --rounds) rounds=$2; shift 2 ;;
    [0-9]*) rounds=$1; shift ;;
    *) sed -n '2,/^set -euo/p' "$0" | sed '$d' >&2; exit 2 ;;
    esac
done
if [ -z "$rounds" ]; then
    case " ${args[*]:-} " in *" --quick "*) rounds=1 ;; *) rounds=5 ;; esac
fi

"$root/scripts/setup-machine.sh"
build=${BENCH_BUILD:-$bench/build}
mkdir -p "$bench" "$build"
build=$(cd "$build" && pwd)
cmake -S "$root" -B "$build" -G Ninja >/dev/null
ninja -j2 -C "$build" Setup robot-exe SysDll

cc=(i686-w64-mingw32-g++-posix -Os -std=c++17 -Wall -Wextra -Werror -static -static-libgcc
    -static-libstdc++)
"${cc[@]}" -o "$bench/copyloop.exe" "$here/CopyLoop.cpp"
# The minimal program is built as SETUP.EXE is: its defines (calls bind to the delay-load
# libraries only when the headers don't declare them dllimport), manifest, delay-load libraries.
i686-w64-mingw32-windres -I "$root" -o "$bench/minimaldialog-rc.o" "$here/MinimalDialog.rc"
"${cc[@]}" -mwindows -DDECLSPEC_IMPORT= -DNOMINMAX -DWIN32_LEAN_AND_MEAN -DWINVER=0x0601 \
    -D_WIN32_WINNT=0x0601 -I "$root" -o "$bench/minimaldialog.exe" "$here/MinimalDialog.cpp" \
    "$bench/minimaldialog-rc.o" "$build/SysDll/libSysDll.a" \
    "$build"/delayimports/lib{user32,gdi32,shell32,ole32,advapi32}_delay.a -Wl,--gc-sections -s

export SETUP_WINEPREFIX=$bench/wineprefix
"$root/scripts/wine-prefix"
python3 "$here/bench.py" --setup "$build/Setup/SETUP.EXE" --robot "$build/tests/robot/robot.exe" \
    --loop "$bench/copyloop.exe" --minimal "$bench/minimaldialog.exe" \
    --prefix "$SETUP_WINEPREFIX" --work "$bench/work" --build "$build" \
    --sizemap "$here/sizemap.sh" --rounds "$rounds" "${args[@]}"
WINEPREFIX=$SETUP_WINEPREFIX wineserver -k || true
