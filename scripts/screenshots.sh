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
#
# The robot answers the dialogs (tests/robot); on each dialog to be pictured it first waits
# SHOTS_WAIT_MS (default 6000) milliseconds, and we take the picture of the newest dialog window
# once it has been on screen for a while. Everything happens in a Wine prefix of our own,
# build/wineprefix-x11, made afresh on each run so that the first installation meets a clean
# system; the project's prefix with its null driver stays as it is.
#
#   SHOTS_BUILD=<build dir>  take an existing build instead of building build/shots
#   SHOTS_WAIT_MS=<ms>       longer on a slow machine
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
images="$root/docs/images"
wait_ms=${SHOTS_WAIT_MS:-6000}
# A dialog counts as waiting for the robot, not passing by, after this long on screen.
settled_ms=$((wait_ms / 4))

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
    WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null || true
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
wineserver -k 2>/dev/null || true
rm -rf "$WINEPREFIX"
wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
# The fonts are read when the server starts: start it again.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true

winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }

# shoot NAME...: takes one picture per name, in order, each of the next dialog that waits.
# A dialog waits when it is the newest window titled "SETUP ..." and has been on screen for
# settled_ms; a message box over a dialog is newer than the dialog.
shoot() {
    local -A first=() shot=()
    local deadline=$(($(now_ms) + 120000)) name id newest age
    for name in "$@"; do
        while :; do
            (($(now_ms) < deadline)) && kill -0 "$robot" 2>/dev/null || {
                echo "screenshots: no dialog waited for $name.png" >&2
                return 1
            }
            newest=
            for id in $(xdotool search --onlyvisible --name '^SETUP ' 2>/dev/null); do
                [ -n "${first[$id]:-}" ] || first[$id]=$(now_ms)
                if [ -z "$newest" ] || ((first[$id] > first[$newest])); then newest=$id; fi
            done
            if [ -n "$newest" ] && [ -z "${shot[$newest]:-}" ]; then
                age=$(($(now_ms) - first[$newest]))
                ((age >= settled_ms)) && break
            fi
            sleep 0.2
        done
        # A Notepad that the run opened may lie over the dialog.
        xdotool windowraise "$newest"
        sleep 0.3
        import -window "$newest" -strip -define png:exclude-chunks=date,time "$images/$name.png"
        # The picture is whole only if the dialog was still there after it.
        xdotool getwindowname "$newest" >/dev/null 2>&1 || {
            echo "screenshots: the dialog for $name.png closed too early; try SHOTS_WAIT_MS=$((wait_ms * 2))" >&2
            return 1
        }
        shot[$newest]=1
        echo "screenshots: $images/$name.png ($(identify -format '%wx%h' "$images/$name.png"))"
    done
}

# run NAME MEDIUM SHOT...: runs SETUP.EXE from MEDIUM with the robot answering from
# $work/NAME.answers (then with default buttons), and takes the pictures meanwhile.
run() {
    local name=$1 medium=$2 status=0
    shift 2
    wine "$build/tests/robot/robot.exe" --defaults --timeout 180000 \
        --answers "$(winpath "$work/$name.answers")" --transcript "$(winpath "$work/$name.txt")" \
        -- "$(winpath "$medium/SETUP.EXE")" >"$work/$name.out" 2>&1 &
    robot=$!
    shoot "$@" || status=1
    wait "$robot" || status=1
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
run v2 "$work/v2" continue path report

# Version 1 over it: TinyClock.exe of the higher version is in the system. Backup checked to
# show the folder field, then the copy is skipped.
medium v1 disk1
printf '%s\n' default default "check 104; wait $wait_ms; click 1" >"$work/v1.answers"
run v1 "$work/v1" conflict

# An author's mistake: a registry root mistyped in [RegWrite]. Version 2 again, which copies
# without a question over the version 2 that the skip has left.
medium typo disk2
sed -i '/^\[RegWrite\]/a Colour=HKCY,Software\\TinyClock,Colour,Reg_SZ,Blue' "$work/typo/TINYCLOCK.INF"
grep -q '^Colour=HKCY' "$work/typo/TINYCLOCK.INF"
printf '%s\n' default default "wait $wait_ms; default" >"$work/typo.answers"
run typo "$work/typo" error
