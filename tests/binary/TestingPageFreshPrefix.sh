#!/usr/bin/env bash
# docs/Testing.md's CI job, as a CI machine runs it: the page's commands for the pipeline, taken
# from the page itself, on a Wine prefix that they make, in a folder laid out as they expect
# (dist/SETUP.EXE, dist/medium, tools/robot.exe, test-tinyclock.sh). Only the lines that install
# Wine (sudo ...) are left out: setup-machine.sh has installed it, and a test installs nothing.
#   TestingPageFreshPrefix.sh SETUP.EXE MEDIUM ROBOT.EXE SOURCE-ROOT
set -euo pipefail
setup=$1 medium=$2 robot=$3 root=$4
work=$(mktemp -d "${TMPDIR:-/tmp}/fresh-prefix.XXXXXX")
# The prefix is the job's own: its processes end with it, whatever happened.
trap 'WINEPREFIX="$work/.wine" wineserver -k 2>/dev/null || true
      WINEPREFIX="$work/.wine" wineserver -w 2>/dev/null || true; rm -rf "$work"' EXIT

# The block of the page that makes the prefix.
commands=$(awk '/^```sh$/ { block = ""; inside = 1; next }
                inside && /^```$/ { inside = 0; if (block ~ /wineboot -i/) print block; next }
                inside { block = block $0 "\n" }' "$root/docs/Testing.md")
[ -n "$commands" ] || { echo "docs/Testing.md has no sh block with wineboot -i"; exit 1; }
grep -q 'bash test-tinyclock.sh dist/SETUP.EXE dist/medium tools/robot.exe' <<<"$commands" ||
    { echo "the page's block no longer runs test-tinyclock.sh as laid out here:"; echo "$commands"
      exit 1; }
commands=$(grep -v '^sudo ' <<<"$commands")

mkdir -p "$work/dist/medium" "$work/tools"
cp "$setup" "$work/dist/SETUP.EXE"
cp "$medium"/* "$work/dist/medium/"
cp "$robot" "$work/tools/robot.exe"
cp "$root/docs/examples/test-tinyclock.sh" "$work/"
echo "$commands"
# As a CI job starts: no prefix or display of ours, no Wine of the project's around.
cd "$work"
env -u WINEPREFIX -u WINE -u DISPLAY -u WAYLAND_DISPLAY -u WINEDLLOVERRIDES \
    bash -euo pipefail -c "$commands"
