#!/usr/bin/env bash
# Builds everything and runs every test (unit tests and whole runs) under Wine.
# Usage: test.sh [--windows winxp|win7|win10] [CTEST ARGUMENTS...]
# --windows sets SETUP_WINDOWS, the Windows version that Wine reports to the tests (default win7,
# or SETUP_WINDOWS from the environment); each version has a Wine prefix of its own.
# SETUP_TEST_JOBS sets how many tests run at once: by default three per core, since a whole run
# spends most of its time waiting for Wine and for dialogs, not computing.
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
# The first run makes the machine and the Wine prefix ready once: its time is told apart.
first_run=no
[ -f "$WINEPREFIX/.setup-ready" ] || first_run=yes
SECONDS=0
"$here/build.sh"
build_s=$SECONDS
"$here/infcheck.sh"   # the native script checker and its corpus
checker_s=$((SECONDS - build_s))
# The prefix is ready and set to its version before the first test; say which version it is.
echo "Windows version for the tests: $("$here/wine-run" cmd.exe /c ver | tr -d '\r' | grep .)"
cd "$root/build/main"
jobs=${SETUP_TEST_JOBS:-$(($(nproc) * 3))}
tests_start=$SECONDS
status=0
# The house style, and no routine of the product over 60 lines: told before the tests, failing
# the run after them.
"$here/format.sh" --check || status=$?
python3 "$here/routine-lengths.py" "$root" || status=$?
ctest -j"$jobs" --output-on-failure --timeout 300 "$@" || status=$?
what="build"
[ $first_run = yes ] && what="build with the one-time set-up of the machine and the Wine prefix"
echo "test.sh: $what ${build_s} s, script checker ${checker_s} s, tests $((SECONDS - tests_start)) s" \
    "($jobs at once), in all ${SECONDS} s"
exit $status
