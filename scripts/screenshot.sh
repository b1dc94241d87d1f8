#!/bin/sh
# SPDX-License-Identifier: MIT
# Runs Tessivane under a virtual X display and writes a PNG of its main window, or of its preview.
#
#   scripts/screenshot.sh [OUTPUT.png] [FILE.htt]
#   scripts/screenshot.sh --preview [OUTPUT.png]
#
# OUTPUT defaults to tessivane.png in the current folder; FILE, when given, is opened at start.
# With --preview, tessivane-cli writes a template into a folder of 1,500 pictures and a few other
# files, Tessivane opens it, F5 shows the preview, and three entries are selected.
# The program is looked for in $TESSIVANE (or build/src/ui/tessivane, then build-ui/...), the
# preview program beside it and tessivane-cli in ../cli from there.
# Needs Xvfb, xdotool and ImageMagick's import (and convert, for --preview).
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
preview=no
if [ "${1:-}" = "--preview" ]; then
    preview=yes
    shift
fi
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
    # The preview ends after the editor and may still be writing its settings in the scratch home.
    rm -rf "$workdir" 2>/dev/null || { sleep 2 && rm -rf "$workdir"; }
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

# For the preview: a folder of a few files and a template that names three of them.
if [ "$preview" = yes ]; then
    folder="$workdir/Holiday"
    mkdir -p "$folder/Day trips"
    convert -size 320x200 gradient:skyblue-navy "$folder/beach.png"
    convert -size 200x300 gradient:orange-purple "$folder/Sunset at the pier.jpg"
    convert -size 64x64 xc:'#f6f0dc' "$folder/paper.png"
    convert -size 200x2 gradient:teal-navy "$folder/rule.png"
    printf 'Packing list\n' >"$folder/notes.txt"
    printf 'RIFF' >"$folder/chime.wav"
    # A camera's worth of pictures, in natural order after the rest.
    i=1
    while [ "$i" -le 1500 ]; do
        : >"$folder/$(printf 'IMG_%d.jpg' "$i")"
        i=$((i + 1))
    done
    "$(dirname "$program")/../cli/tessivane-cli" write -o "$folder/Folder.htt" \
        --description '%THISDIRNAME% - pictures from the coast' --font 'DejaVu Sans' \
        --colour Navy --info-size 9 --title-size 12 --sound "$folder/chime.wav" \
        --background "$folder/paper.png" --line-image "$folder/rule.png"
    document="$folder/Folder.htt"
fi

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
if [ "$preview" = yes ]; then
    # There is no window manager: the window with the keyboard focus is the one that was told so.
    xdotool windowfocus --sync "$window" key F5
    # The title's first word is in the user's language. A search can fail while the engine's
    # short-lived windows come and go, so it is asked again until the preview is there.
    window=
    tries=0
    while [ -z "$window" ] && [ "$tries" -lt 60 ]; do
        window=$(xdotool search --onlyvisible --name ' - Folder\.htt$' 2>/dev/null | head -n 1) ||
            true
        [ -n "$window" ] || sleep 0.5
        tries=$((tries + 1))
    done
    [ -n "$window" ] || {
        echo "screenshot.sh: the preview did not appear" >&2
        cat "$workdir/app.log" >&2
        exit 1
    }
    xdotool windowmove --sync "$window" 0 0 windowfocus --sync "$window"
    sleep 2
    # A click on an entry selects it and gives the list the keyboard; Shift+Down twice adds the
    # next two.
    xdotool mousemove --sync 600 160 click 1 sleep 0.3 key shift+Down sleep 0.2 key shift+Down
    sleep 1.5
fi
cd - >/dev/null
import -window "$window" "$output"
echo "$output"
