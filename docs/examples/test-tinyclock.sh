#!/usr/bin/env bash
# Tests the Tiny Clock installer under Wine, as a CI job does: installs it with the dialog robot
# answering every dialog, checks the report, the log, the files and the registry, then runs the
# uninstall command of the software list and checks that nothing of Tiny Clock is left.
#
#   test-tinyclock.sh SETUP.EXE MEDIUM ROBOT.EXE
#
# MEDIUM is the folder of the product's files (TINYCLOCK.INF, TinyClock.exe, the texts); WINE
# names the wine command (default: wine). Exit code 0: passed; 1: failed; 77: Tiny Clock is
# installed on this machine already, so the test can't tell its own installation from that one.
set -euo pipefail
setup=$1 product=$2 robot=$3
wine=${WINE:-wine}
work=$(mktemp -d "${TMPDIR:-/tmp}/test-tinyclock.XXXXXX")
win() { printf 'Z:%s' "$1" | tr / '\\'; }   # the unix root is Wine's drive Z:
fail() { echo "FAIL: $*" >&2; exit 1; }
entry='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TinyClock'
# SETUP.EXE is a 32-bit program: its uninstall entry lies in the 32-bit part of the registry.
value() { "$wine" reg query "$1" /v "$2" /reg:32 2>/dev/null | tr -d '\r' |
          sed -nE "s/^ +$2 +REG_[A-Z]+ +//p"; }
has_key() { "$wine" reg query "$1" /reg:32 >/dev/null 2>&1; }
uninstall() { "$wine" cmd /c "$(value "$entry" UninstallString)"; }

has_key "$entry" && { echo "SKIP: Tiny Clock is installed here already"; exit 77; }
# Whatever fails, the machine is left without Tiny Clock and without the work folder.
trap 'has_key "$entry" && uninstall; rm -rf "$work"' EXIT

# The medium as it ships, a temporary folder of the run's own, and the folder to install into.
mkdir "$work/medium" "$work/tmp"
cp "$setup" "$product"/* "$work/medium/"
app="$work/Tiny Clock"
cat >"$work/answers.txt" <<EOF
# 1. "Continue Installation?" under the Readme's headline: OK
click 1
# 2. the path dialog: a folder of the test's own instead of the proposal
type 102 $(win "$app"); click 1
# 3. the report: Close
click 1
EOF

status=0
"$wine" "$robot" --answers "$(win "$work/answers.txt")" \
    --transcript "$(win "$work/transcript.txt")" \
    --env "tmp=$(win "$work/tmp")" --env "temp=$(win "$work/tmp")" -- \
    "$(win "$work/medium/SETUP.EXE")" || status=$?
cat "$work/transcript.txt"
[ "$status" = 0 ] || fail "the run did not go as answered (robot exit code $status)"
grep -q '^ *101 Static *"Installation successfully!"$' "$work/transcript.txt" ||
    fail "the report is not \"Installation successfully!\""

log="$app/LOGFILKV.LOG"
[ -f "$log" ] || fail "no log in the installation folder"
tr -d '\r' <"$log"
grep -qF "$(win "$app")\\TinyClock.exe"$'\t'"1.00.0000.0000 04E40409 created" "$log" ||
    fail "the log has no line for TinyClock.exe"
! grep -E '^(Error|Warning)' "$log" || fail "the log reports errors or warnings"
for file in TinyClock.exe Readme.txt Licence.txt TinyClock.ini; do
    [ -f "$app/$file" ] || fail "$file is not installed"
done
[ "$(value 'HKCU\Software\TinyClock' Folder)" = "$(win "$app")" ] ||
    fail "HKCU\\Software\\TinyClock has not the folder"
[ "$(value "$entry" DisplayVersion)" = 1.00 ] || fail "the software list has not version 1.00"

# Removed as the software list removes it.
uninstall
[ ! -e "$app" ] || fail "the installation folder is left: $(ls -A "$app")"
! has_key "$entry" || fail "the software list still has Tiny Clock"
! has_key 'HKCU\Software\TinyClock' || fail "HKCU\\Software\\TinyClock is left"
echo "PASS: Tiny Clock installs and uninstalls"
