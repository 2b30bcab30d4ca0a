#!/usr/bin/env bash
# Usage: screenshot.sh PROGRAM OUTPUT.png
# Runs on an X display (a virtual one from xvfb-run): starts the program in the current folder,
# waits for its window, saves the window's client area as a PNG and ends the program.
set -euo pipefail
program=$1
out=$2

"$program" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

window=""
for _ in $(seq 1 100); do
    window=$(xdotool search --onlyvisible --name '^Morvane$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    if ! kill -0 "$pid" 2>/dev/null; then
        echo "Morvane ended before its window appeared." >&2
        exit 1
    fi
    sleep 0.1
done
if [ -z "$window" ]; then
    echo "Morvane's window did not appear." >&2
    exit 1
fi
# Give the window, and a first-run height box over it, a moment to finish their first paint;
# then take the screen where the window is, so that a box over it is in the picture too.
sleep 2
eval "$(xdotool getwindowgeometry --shell "$window")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out"
echo "Saved a screenshot of the window to $out"
