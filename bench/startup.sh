#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Start-up time and peak memory of the main window against an empty QMainWindow, in one run.
#   bench/startup.sh [BUILD_FOLDER]   (needs hyperfine; runs headless)
set -euo pipefail
build=${1:-build}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
window="$build/bench/startup_window"
empty="$build/bench/startup_empty"
hyperfine --warmup 3 --runs 30 -N "$empty" "$window"
for program in "$empty" "$window"; do
    peak=$(/usr/bin/env time -f '%M' "$program" 2>&1 >/dev/null | tail -1)
    echo "$(basename "$program"): peak resident memory ${peak} KiB"
done
