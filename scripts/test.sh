#!/usr/bin/env bash
# Builds everything and runs every test (unit tests and whole runs) under Wine.
# Usage: test.sh [--windows winxp|win7|win10] [CTEST ARGUMENTS...]
# --windows sets SETUP_WINDOWS, the Windows version that Wine reports to the tests (default win7,
# or SETUP_WINDOWS from the environment); each version has a Wine prefix of its own.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
case ${1:-} in
--windows)
    [ $# -ge 2 ] || { echo "test.sh: --windows needs winxp, win7 or win10" >&2; exit 2; }
    export SETUP_WINDOWS=$2
    shift 2
    ;;
--windows=*)
    export SETUP_WINDOWS=${1#--windows=}
    shift
    ;;
esac
. "$here/wine-env" # a wrong version fails now, not after the build
"$here/build.sh"
"$here/infcheck.sh"   # the native script checker and its corpus
# The prefix is ready and set to its version before the first test; say which version it is.
echo "Windows version for the tests: $("$here/wine-run" cmd.exe /c ver | tr -d '\r' | grep .)"
cd "$root/build/main"
ctest -j2 --output-on-failure --timeout 300 "$@"
