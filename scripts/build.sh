#!/usr/bin/env bash
# Builds SETUP.EXE, its tests and the robot into build/main, after making the machine ready.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
"$here/setup-machine.sh"
"$here/wine-prefix"
cmake -S "$root" -B "$root/build/main" -G Ninja >/dev/null
ninja -C "$root/build/main" "$@"
