#!/bin/sh
# Regenerates the README's pictures: builds the screenshot walker, starts a
# private Xvfb, and shoots every window at 100 % and at 200 % scaling into
# docs/screenshots/. Usage: tools/screenshots.sh [BUILD_DIR]
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$here/build"}
out="$here/docs/screenshots"
"$here/scripts/deps"
cmake -S "$here" -B "$build" >/dev/null
cmake --build "$build" -j2 --target quorrel-screenshots
mkdir -p "$out"

display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
    display=$((display + 1))
done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
i=0
while [ ! -e "/tmp/.X11-unix/X$display" ] && [ $i -lt 50 ]; do
    sleep 0.1
    i=$((i + 1))
done

unset QT_QPA_PLATFORM
DISPLAY=":$display" "$build/quorrel-screenshots" "$out"
DISPLAY=":$display" QT_SCALE_FACTOR=2 "$build/quorrel-screenshots" "$out" -200
ls "$out"
