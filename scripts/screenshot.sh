#!/bin/sh
# SPDX-License-Identifier: MIT
# Runs Tessivane under a virtual X display and writes a PNG of its main window.
#
#   scripts/screenshot.sh [OUTPUT.png] [FILE.htt]
#
# OUTPUT defaults to tessivane.png in the current folder; FILE, when given, is opened at start.
# The program is looked for in $TESSIVANE (or build/src/ui/tessivane, then build-ui/...).
# Needs Xvfb, xdotool and ImageMagick's import.
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
output=${1:-tessivane.png}
document=${2:-}
program=${TESSIVANE:-}
if [ -z "$program" ]; then
    for candidate in "$here/build/src/ui/tessivane" "$here/build-ui/src/ui/tessivane"; do
        if [ -x "$candidate" ]; then
            program=$candidate
            break
        fi
    done
fi
if [ -z "$program" ] || [ ! -x "$program" ]; then
    echo "screenshot.sh: no tessivane program found; build it or set TESSIVANE" >&2
    exit 1
fi
for tool in Xvfb xdotool import; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "screenshot.sh: $tool is not installed" >&2
        exit 1
    fi
done

workdir=$(mktemp -d)
xvfb_pid=
app_pid=
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$workdir"
}
trap cleanup EXIT INT TERM

# A free display number: Xvfb writes the one it took to the given descriptor.
exec 3>"$workdir/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$workdir/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
tries=0
while [ ! -s "$workdir/display" ]; do
    tries=$((tries + 1))
    if [ "$tries" -gt 100 ]; then
        echo "screenshot.sh: Xvfb did not start" >&2
        cat "$workdir/xvfb.log" >&2
        exit 1
    fi
    sleep 0.1
done
DISPLAY=:$(cat "$workdir/display")
export DISPLAY

# Run in a scratch folder with a scratch home, so nothing of the user's is read or written.
cd "$workdir"
if [ -n "$document" ]; then
    HOME="$workdir" QT_QPA_PLATFORM=xcb "$program" "$document" >"$workdir/app.log" 2>&1 &
else
    HOME="$workdir" QT_QPA_PLATFORM=xcb "$program" >"$workdir/app.log" 2>&1 &
fi
app_pid=$!

window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tessivane$' | head -n 1) || {
    echo "screenshot.sh: the main window did not appear" >&2
    cat "$workdir/app.log" >&2
    exit 1
}
# Give the window a moment to paint after it is mapped.
sleep 1
cd - >/dev/null
import -window "$window" "$output"
echo "$output"
