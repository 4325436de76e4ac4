#!/usr/bin/env bash
# Builds everything and runs every test (unit tests and whole runs) under Wine.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
"$here/build.sh"
cd "$root/build/main"
ctest -j2 --output-on-failure --timeout 300 "$@"
