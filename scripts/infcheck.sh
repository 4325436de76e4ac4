#!/usr/bin/env bash
# Builds the native Linux script checker into build/infcheck-native and runs its tests (the
# corpus of tests/infcheck/ and the project's example scripts).
# Usage: infcheck.sh [CTEST ARGUMENTS...]; the checker is build/infcheck-native/infcheck.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
build=$root/build/infcheck-native
"$here/setup-machine.sh"   # clang, CMake, Ninja
cmake -S "$root/Tools/infcheck/native" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
ninja -C "$build"
ctest --test-dir "$build" --output-on-failure "$@"
