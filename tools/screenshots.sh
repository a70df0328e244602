#!/bin/sh
# Regenerates the README's pictures: builds the screenshot walker, starts a
# private Xvfb, and shoots every window at 100 % and at 200 % scaling and on
# GTK's dark Adwaita palette, then natively on Wayland in a private headless
# Weston, into docs/screenshots/. Usage: tools/screenshots.sh [BUILD_DIR]
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$here/build"}
case $build in /*) ;; *) build=$PWD/$build ;; esac  # the Wayland shots run elsewhere
out="$here/docs/screenshots"
"$here/scripts/deps"
cmake -S "$here" -B "$build" >/dev/null
cmake --build "$build" -j2 --target quorrel-screenshots
mkdir -p "$out"

. "$here/scripts/xvfb.sh"
xvfb_pid='' weston_pid=''
run=$(mktemp -d)
cleanup() {
    for pid in $xvfb_pid $weston_pid; do
        { kill "$pid" && wait "$pid"; } 2>/dev/null || true
    done
    rm -rf "$run"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
xvfb_start

unset QT_QPA_PLATFORM
shots="$build/quorrel-screenshots"
DISPLAY=$xvfb_display "$shots" "$out"
DISPLAY=$xvfb_display QT_SCALE_FACTOR=2 "$shots" "$out" -200
DISPLAY=$xvfb_display QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=Adwaita:dark "$shots" "$out" -dark

# Weston on a plain background, with no panel, lets its screenshooter take the screen.
chmod 700 "$run"
printf '[shell]\nbackground-color=0xff4a5a6a\npanel-position=none\nanimation=none\nclose-animation=none\n' >"$run/weston.ini"
XDG_RUNTIME_DIR=$run weston --backend=headless-backend.so --use-pixman --debug \
    --socket=wayland-shots --config="$run/weston.ini" >"$run/weston.log" 2>&1 &
weston_pid=$!
while [ ! -S "$run/wayland-shots" ]; do sleep 0.05; done
(cd "$run" && XDG_RUNTIME_DIR=$run WAYLAND_DISPLAY=wayland-shots QT_QPA_PLATFORM=wayland \
    "$shots" "$out" -wayland)
ls "$out"
