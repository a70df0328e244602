#!/bin/sh
# The README's Windows pictures: builds the program for Windows (scripts/windows)
# and the screenshot walker, then shoots the three windows under Wine in a Wine
# desktop of its own (which draws Windows' title bars) on a private Xvfb, into
# docs/screenshots/*-windows.png.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
out=${QUORREL_WINDOWS_BUILD:-$here/build-windows}
"$here/scripts/windows"
cmake --build "$out/build" -j2 --target quorrel-screenshots
qt=$(sed -n 's/^CMAKE_PREFIX_PATH:[A-Z]*=//p' "$out/build/CMakeCache.txt")

. "$here/scripts/xvfb.sh"
xvfb_pid=''
tmp=$(mktemp -d)
cleanup() {
    WINEPREFIX=$tmp/wine wineserver -k 2>/dev/null || true
    if [ -n "$xvfb_pid" ]; then
        { kill "$xvfb_pid" && wait "$xvfb_pid"; } 2>/dev/null || true
    fi
    rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
xvfb_start
export DISPLAY="$xvfb_display" WINEPREFIX="$tmp/wine" WINEARCH=win64 WINEDEBUG=-all
wineboot -i >/dev/null 2>&1
# The glyphs of Wine's own title-bar buttons.
cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
WINEPATH="$(winepath -w "$qt/bin");$(winepath -w "$out/quorrel-setup")"
export WINEPATH
wine explorer /desktop=shots,1024x768 "$out/build/quorrel-screenshots.exe" \
    "$(winepath -w "$here/docs/screenshots")" -windows
wineserver -w
ls "$here"/docs/screenshots/*-windows.png
