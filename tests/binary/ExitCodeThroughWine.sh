#!/usr/bin/env bash
# A quiet run that fails exits with 1603, which a unix shell sees cut to its lowest 8 bits (67).
# The command interpreter prints it whole, and the log's report line names it whole.
#   ExitCodeThroughWine.sh SETUP.EXE WINE-RUN
set -euo pipefail
setup=$1
wine_run=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/exit-code.XXXXXX")
inf="EXITCODE$$.INF"
trap '"$wine_run" cmd /c del "%windir%\\inf\\$inf" >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
win() { printf 'Z:%s' "$1" | tr / '\\'; }

mkdir -p "$work/medium" "$work/tmp"
cp "$setup" "$work/medium/SETUP.EXE"
# An unknown root in [RegWrite] ends the run before its installation folder: a failure.
printf '[Version]\r\nFormKv=KELVOR\r\n[RegWrite]\r\nBad=HKXX,Software\\SetupTest,V,Reg_SZ,v\r\n' \
    >"$work/medium/$inf"
tmp=$(win "$work/tmp")
status=0
printed=$("$wine_run" cmd /v:on /c "set tmp=$tmp&& set temp=$tmp&& start \"\" /wait \
$(win "$work/medium/SETUP.EXE") /quiet $inf & echo !ERRORLEVEL!" | tr -d '\r') || status=$?
echo "unix exit code $status, printed $printed"
[ "$status" = 67 ] || { echo "expected the cut code 67"; exit 1; }
[ "$printed" = 1603 ] || { echo "expected cmd to print 1603"; exit 1; }
grep -q $'^Installation done without success! Exit code 1603\r$' "$work/tmp/LOGFILKV.LOG" ||
    { echo "the log has no report line with 1603"; exit 1; }
