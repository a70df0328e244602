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

. "$here/scripts/xvfb.sh"
xvfb_pid=
trap '[ -z "$xvfb_pid" ] || { kill "$xvfb_pid" && wait "$xvfb_pid"; } 2>/dev/null || true' EXIT
trap 'exit 130' INT TERM
xvfb_start

unset QT_QPA_PLATFORM
DISPLAY=$xvfb_display "$build/quorrel-screenshots" "$out"
DISPLAY=$xvfb_display QT_SCALE_FACTOR=2 "$build/quorrel-screenshots" "$out" -200
ls "$out"
