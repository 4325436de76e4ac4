#!/usr/bin/env bash
# The [Files] benchmark: builds SETUP.EXE, the dialog robot and the reference copier, then times
# SETUP.EXE against wine xcopy, the reference copier and native cp on the same payloads (see
# bench.py). Takes a few minutes; prints medians, ranges, ratios and SETUP.EXE's peak memory.
#
#   bench/run.sh [ROUNDS]          (default 5)
#
# BENCH_BUILD names a build folder to take SETUP.EXE and robot.exe from instead of building
# build/main. Runs use a Wine prefix of their own (build/bench/wineprefix) with its own
# wineserver, so that tests running at the same time don't share it; that server is stopped at
# the end. The payloads (about 230 MB) stay in build/bench/work/medium for the next run.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
rounds=${1:-5}
bench=$root/build/bench

if [ -n "${BENCH_BUILD:-}" ]; then
    build=$(cd "$BENCH_BUILD" && pwd)
else
    "$root/scripts/build.sh" Setup robot-exe
    build=$root/build/main
fi
mkdir -p "$bench"
i686-w64-mingw32-g++-posix -O2 -static -Wall -Wextra -Werror -o "$bench/copyloop.exe" \
    "$here/CopyLoop.cpp"

export SETUP_WINEPREFIX=$bench/wineprefix
"$root/scripts/wine-prefix"
python3 "$here/bench.py" --setup "$build/Setup/SETUP.EXE" --robot "$build/tests/robot/robot.exe" \
    --loop "$bench/copyloop.exe" --prefix "$SETUP_WINEPREFIX" --work "$bench/work" \
    --rounds "$rounds"
WINEPREFIX=$SETUP_WINEPREFIX wineserver -k || true
