#!/usr/bin/env bash
# Formats every C and C++ file of the repository in the house style (.clang-format), or, with
# --check, changes nothing and fails naming each file that the style would change: CI runs that.
#   format.sh [--check]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
cd "$root"
command -v clang-format >/dev/null || "$here/setup-machine.sh"
mapfile -t files < <(git ls-files '*.c' '*.cpp' '*.h')
if [ "${1:-}" = --check ]; then
    status=0
    for file in "${files[@]}"; do
        if ! clang-format --style=file --dry-run --Werror "$file" >/dev/null 2>&1; then
            echo "format.sh: $file is not in the house style (scripts/format.sh formats it)" >&2
            status=1
        fi
    done
    exit $status
fi
clang-format --style=file -i "${files[@]}"
