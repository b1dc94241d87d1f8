#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Start-up time, to the first paint of the window, of the main window against a Qt main window
# that shows one label, and the peak memory of both, in one run.
#   bench/startup.sh [--xvfb] [BUILD_FOLDER]
# Runs headless (QT_QPA_PLATFORM=offscreen) unless --xvfb is given: then both programs run on the
# X11 platform against a virtual X display that the script starts and stops. Needs hyperfine, and
# Xvfb for --xvfb, and a build folder configured with -DTESSIVANE_BUILD_BENCH=ON (or
# cmake --preset ci).
#
# A shared or busy machine drifts while it measures, so the two programs are timed in turns: five
# rounds (ROUNDS=n for another number) of 20 runs each, one after the other. Each round gives the
# ratio of the two medians; the result is the median of those ratios.
set -euo pipefail
xvfb=no
if [ "${1:-}" = "--xvfb" ]; then
    xvfb=yes
    shift
fi
build=${1:-build}
rounds=${ROUNDS:-5}
window="$build/bench/startup_window"
label="$build/bench/startup_label"
work=$(mktemp -d)
xvfb_pid=
cleanup() {
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

if [ "$xvfb" = yes ]; then
    # Xvfb writes the display number it took to descriptor 3.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$work/display" ] && break
        sleep 0.1
    done
    [ -s "$work/display" ] || { cat "$work/xvfb.log" >&2; exit 1; }
    export DISPLAY=":$(cat "$work/display")" QT_QPA_PLATFORM=xcb
else
    export QT_QPA_PLATFORM=offscreen
fi
echo "platform: $QT_QPA_PLATFORM"

for round in $(seq "$rounds"); do
    hyperfine -N --warmup 3 --runs 20 --style none --export-csv "$work/$round.csv" \
        "$label" "$window" >/dev/null
    # The CSV has command,mean,stddev,median,user,system,min,max; the label comes first.
    awk -F, -v round="$round" 'NR == 2 { label = $4 }
        NR == 3 { printf "round %d: label %.1f ms, window %.1f ms (medians): %.2fx\n",
                  round, label * 1000, $4 * 1000, $4 / label }' "$work/$round.csv"
done | tee "$work/rounds.txt"
sort -t: -k3 -n "$work/rounds.txt" | awk -F': ' '{ ratio[NR] = $3 }
    END { printf "window / label: %s (median of %d rounds)\n", ratio[int((NR + 1) / 2)], NR }'
for program in "$label" "$window"; do
    peak=$(/usr/bin/env time -f '%M' "$program" 2>&1 >/dev/null | tail -1)
    echo "$(basename "$program"): peak resident memory ${peak} KiB"
done
