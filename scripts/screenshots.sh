#!/usr/bin/env bash
# Makes the pictures of SETUP.EXE's dialogs in docs/images/ from real runs of the example product
# Tiny Clock (examples/tinyclock), under a virtual X display with Wine's X11 driver:
#
#   continue.png  the continue prompt with the [Info] texts and URL   (version 2 on a clean system)
#   path.png      the path dialog proposing the installation folder   (same run)
#   report.png    the report with the log file's path                 (same run)
#   conflict.png  the question for TinyClock.exe, version 1 over the installed version 2, with
#                 "with Backup to" checked, so that the backup folder field is enabled
#   error.png     the error box for a [RegWrite] line whose root is mistyped (HKCY), in a copy
#                 of the example's script
#   inuse.png     the question for TinyClock.exe, which is running, when version 1 is installed
#                 over it with [Options] FilesInUse=Ask in a copy of the example's script
#   progress.png  the progress window while version 2 copies 3,000 more files that a copy of
#                 the example's script names
#
# The robot answers the dialogs (tests/robot) and holds each dialog to be pictured for
# SHOTS_WAIT_MS (default 6000) milliseconds ("wait"). Meanwhile we grab every dialog window about
# once a second; the dialogs that were held are those that stayed on screen that long, the others
# pass within a second or two. Everything happens in a Wine prefix of our own,
# build/wineprefix-x11, made afresh on each run so that the first installation meets a clean
# system; the project's prefix with its null driver stays as it is. Every step that talks to Wine
# or to the display has a time limit, so that a dialog nobody answers can't hold the script.
#
#   SHOTS_BUILD=<build dir>  take an existing build instead of building build/shots
#   SHOTS_WAIT_MS=<ms>       longer on a slow machine
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
images="$root/docs/images"
wait_ms=${SHOTS_WAIT_MS:-6000}
# A dialog seen on screen this long was held by the robot; the polls see a little less of it
# than it was there.
held_ms=$((wait_ms * 3 / 4))

"$here/setup-machine.sh"
# Beyond the build machine: xdotool finds the windows, and Wine's own fonts give the dialogs
# their Windows look (the caption buttons are drawn with Marlett).
missing=()
for p in xdotool fonts-wine; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' ||
        missing+=("$p")
done
if ((${#missing[@]})); then
    if [ "$(id -u)" != 0 ]; then
        echo "screenshots: these packages are missing and only root can install them: ${missing[*]}" >&2
        exit 1
    fi
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

build=${SHOTS_BUILD:-$root/build/shots}
if [ -z "${SHOTS_BUILD:-}" ]; then
    cmake -S "$root" -B "$build" -G Ninja >/dev/null
    ninja -C "$build" Setup robot-exe TinyClockDisks
fi
work="$build/screenshots"
rm -rf "$work"
mkdir -p "$work" "$images"

# The virtual display: Xvfb picks a free display number and tells it through descriptor 3.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
export WINEPREFIX="$root/build/wineprefix-x11" WINEDEBUG=-all
cleanup() {
    timeout 60 wineserver -k 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || { echo "screenshots: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$work/display")"

# Without a window manager on the display, Wine draws the captions and frames itself
# (Decorated=N), in the look of Windows. Wine reads its fonts from the prefix's Fonts folder.
echo "screenshots: making the Wine prefix $WINEPREFIX"
timeout 60 wineserver -k 2>/dev/null || true
rm -rf "$WINEPREFIX"
timeout 300 wineboot -i >/dev/null 2>&1
timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
# The fonts are read when the server starts: start it again.
timeout 60 wineserver -k 2>/dev/null || true
timeout 60 wineserver -w 2>/dev/null || true

winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }

# grab ID FILE: the window ID as it is on screen, as an XWD file. Not ImageMagick's import: given
# a window that has just closed, it says so and then waits for a click that would choose another,
# which nobody gives here. xwd fails at once instead.
grab() {
    # A Notepad of the run may lie over the dialog. The picture is whole only if the window was
    # still there after it.
    if timeout 10 xdotool windowraise "$1" 2>/dev/null &&
        timeout 10 xwd -silent -id "$1" -out "$2" 2>/dev/null &&
        timeout 10 xdotool getwindowname "$1" >/dev/null 2>&1; then
        return 0
    fi
    rm -f "$2"
    return 1
}

# watch NAME SHOT...: while the robot of the run NAME works, notes when each window titled
# "SETUP ..." (the dialogs and the message boxes) came and went, and grabs it about once a
# second. Then the windows that were held are the SHOTs, in the order they came; each one's
# picture is the grab nearest the middle of its time on screen, after the first actions of its
# answer (a check) had their effect and before its last click.
watch() {
    local name=$1 deadline=$(($(now_ms) + 240000)) id t file best mid
    shift
    local -A first=() last=() grabbed=()
    local order=() held=()
    mkdir -p "$work/$name.grabs"
    while kill -0 "$robot" 2>/dev/null; do
        t=$(now_ms)
        ((t < deadline)) || {
            echo "screenshots: the run $name did not end in time" >&2
            return 1
        }
        for id in $(timeout 10 xdotool search --onlyvisible --name '^SETUP ' 2>/dev/null); do
            [ -n "${first[$id]:-}" ] || {
                first[$id]=$t
                order+=("$id")
            }
            last[$id]=$t
            # Not in the first moments, while the dialog is still being drawn.
            if ((t - first[$id] >= 500 && t - ${grabbed[$id]:-0} >= 1000)); then
                grabbed[$id]=$t
                grab "$id" "$work/$name.grabs/$id-$t.xwd" || true
            fi
        done
        sleep 0.2
    done
    for id in "${order[@]}"; do
        if ((last[$id] - first[$id] >= held_ms)); then held+=("$id"); fi
    done
    if ((${#held[@]} != $#)); then
        echo "screenshots: the run $name held ${#held[@]} dialogs, not $#; on screen (ms):" >&2
        for id in "${order[@]}"; do echo "  $((last[$id] - first[$id]))" >&2; done
        echo "screenshots: on a slow machine, try SHOTS_WAIT_MS=$((wait_ms * 2))" >&2
        return 1
    fi
    for id in "${held[@]}"; do
        mid=$(((first[$id] + last[$id]) / 2))
        best=
        for file in "$work/$name.grabs/$id"-*.xwd; do
            [ -e "$file" ] || continue
            t=${file##*-}
            t=${t%.xwd}
            if [ -z "$best" ] || (((t - mid) ** 2 < (best - mid) ** 2)); then best=$t; fi
        done
        [ -n "$best" ] || {
            echo "screenshots: no picture of the dialog for $1.png" >&2
            return 1
        }
        timeout 60 convert "xwd:$work/$name.grabs/$id-$best.xwd" -strip \
            -define png:exclude-chunks=date,time "png:$images/$1.png"
        echo "screenshots: $images/$1.png ($(identify -format '%wx%h' "$images/$1.png"))"
        shift
    done
}

# run NAME MEDIUM EXPECT SHOT...: runs SETUP.EXE from MEDIUM with the robot answering from
# $work/NAME.answers (then with default buttons) and takes the pictures meanwhile. EXPECT is a
# text of the pictured dialogs that the robot's transcript must hold, so that a changed script
# or program can't quietly give pictures of other dialogs.
run() {
    local name=$1 medium=$2 expect=$3 status=0
    shift 3
    timeout 300 wine "$build/tests/robot/robot.exe" --defaults --timeout 180000 \
        --answers "$(winpath "$work/$name.answers")" --transcript "$(winpath "$work/$name.txt")" \
        -- "$(winpath "$medium/SETUP.EXE")" >"$work/$name.out" 2>&1 &
    robot=$!
    watch "$name" "$@" || status=1
    if ! wait "$robot"; then
        status=1
    elif ! grep -qF -- "$expect" "$work/$name.txt"; then
        echo "screenshots: the run $name showed no dialog with \"$expect\"" >&2
        status=1
    fi
    if ((status)); then
        echo "screenshots: the run $name went wrong; what the robot saw:" >&2
        cat "$work/$name.txt" "$work/$name.out" >&2 2>/dev/null || true
        exit 1
    fi
}

medium() { # medium NAME DISK: SETUP.EXE and a disk of the example
    mkdir -p "$work/$1"
    cp "$build/Setup/SETUP.EXE" "$build/examples/tinyclock/$2"/* "$work/$1/"
}

# Version 2 on the clean system: the continue prompt, the path dialog and the report.
medium v2 disk2
printf '%s\n' "wait $wait_ms; default" "wait $wait_ms; default" "wait $wait_ms; default" \
    >"$work/v2.answers"
run v2 "$work/v2" "Continue Installation?" continue path report

# Version 1 over it: TinyClock.exe of the higher version is in the system. Backup checked to
# show the folder field, then the copy is skipped.
medium v1 disk1
printf '%s\n' default default "check 104; wait $wait_ms; click 1" >"$work/v1.answers"
run v1 "$work/v1" "answer: check 104; wait" conflict

# An author's mistake: a registry root mistyped in [RegWrite]. Version 2 again, which copies
# without a question over the version 2 that the skip has left.
medium typo disk2
sed -i '/^\[RegWrite\]/a Colour=HKCY,Software\\TinyClock,Colour,Reg_SZ,Blue' "$work/typo/TINYCLOCK.INF"
grep -q '^Colour=HKCY' "$work/typo/TINYCLOCK.INF"
printf '%s\n' default default "wait $wait_ms; default" >"$work/typo.answers"
run typo "$work/typo" "Syntax-Error in [RegWrite]" error

# A file in use: the installed Tiny Clock runs while version 1 is installed over it, with
# FilesInUse=Ask in a copy of the example's script. Overwrite at the conflict, then the question
# about the running program's file, cancelled: nothing is left to wait for a restart.
medium inuse disk1
sed -i '/^\[Files\]/i [Options]\nFilesInUse=Ask\n' "$work/inuse/TINYCLOCK.INF"
grep -q '^FilesInUse=Ask' "$work/inuse/TINYCLOCK.INF"
clock=$(find "$WINEPREFIX/drive_c" -path '*/Tiny Clock/TinyClock.exe' | head -n 1)
[ -n "$clock" ] || { echo "screenshots: Tiny Clock is not installed" >&2; exit 1; }
timeout 300 wine "$clock" >/dev/null 2>&1 &
clock_pid=$!
sleep 3   # until the program has started and holds its file
printf '%s\n' default default "click 4" "wait $wait_ms; click 2" default >"$work/inuse.answers"
run inuse "$work/inuse" "is in use by a program" inuse
kill "$clock_pid" 2>/dev/null || true

# The progress window: version 2 again, with a few thousand more files as the last [Files] entry of
# a copy of the example's script (the bar, which goes by entries, stands at three quarters), so
# that the copies take seconds and the window stays on screen as long as the dialogs are held.
# The robot answers at once; the window is the one picture of the run.
medium progress disk2
mkdir -p "$work/progress/Help"
for i in $(seq 3000); do printf 'page %d\n' "$i" >"$work/progress/Help/page$i.txt"; done
sed -i '/^Licence\.txt=/a Help\\*.*=%MyProgramPath%\\Help' "$work/progress/TINYCLOCK.INF"
grep -q '^Help' "$work/progress/TINYCLOCK.INF"
printf '%s\n' default default default >"$work/progress.answers"
run progress "$work/progress" "Installation successfully!" progress
