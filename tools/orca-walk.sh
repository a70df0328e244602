#!/bin/sh
# Walks the program keyboard-only under the Orca screen reader and prints what
# Orca said, from its debug log: in a private Xvfb with its own D-Bus session
# and accessibility bus, a fake `xdg-open` recording the addresses opened and a
# throwaway game folder. Usage: tools/orca-walk.sh [BUILD_DIR] [czech|english]
# Needs orca, speech-dispatcher, espeak-ng, at-spi2-core, dbus, xdotool, xvfb.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
language=${2:-english}
program="$build/quorrel-setup"
[ -x "$program" ] || { echo "no $program: build it first" >&2; exit 1; }

. "$here/scripts/xvfb.sh"
xvfb_pid='' bus_pid='' orca_pid='' app_pid=''
run=$(mktemp -d /tmp/orca-walk.XXXXXX)
cleanup() {
    # The accessibility bus and speech-dispatcher are started by the session
    # bus on demand; they run under its address and end with it, or here.
    for pid in $app_pid $orca_pid $(pgrep -f "$run" || true) $bus_pid $xvfb_pid; do
        kill "$pid" 2>/dev/null || continue
        for _ in 1 2 3 4 5 6 7 8 9 10; do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.2
        done
        kill -9 "$pid" 2>/dev/null || true
    done
    [ -n "${ORCA_WALK_KEEP:-}" ] || rm -rf "$run"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
xvfb_start
export DISPLAY="$xvfb_display"

mkdir -p "$run/home" "$run/xdg" "$run/game" "$run/bin" && chmod 700 "$run/xdg"
export HOME="$run/home" XDG_RUNTIME_DIR="$run/xdg" XDG_CONFIG_HOME="$run/home/.config"
export XDG_DATA_HOME="$run/home/.local/share" NO_AT_BRIDGE=0 GTK_MODULES=gail:atk-bridge
printf '#!/bin/sh\necho "$1" >>"%s/opened"\n' "$run" >"$run/bin/xdg-open"
chmod +x "$run/bin/xdg-open"
# Speech goes through espeak-ng to libao's null device: heard by no one, logged by Orca.
mkdir -p "$XDG_CONFIG_HOME/speech-dispatcher"
sed 's/^# *AudioOutputMethod .*/AudioOutputMethod "libao"/' /etc/speech-dispatcher/speechd.conf \
    >"$XDG_CONFIG_HOME/speech-dispatcher/speechd.conf"
echo default_driver=null >"$HOME/.libao"
export PATH="$run/bin:$PATH"

dbus-daemon --session --fork --nopidfile --address="unix:path=$run/bus" \
    --print-pid=3 3>"$run/bus.pid"
bus_pid=$(cat "$run/bus.pid")
export DBUS_SESSION_BUS_ADDRESS="unix:path=$run/bus"
gsettings set org.gnome.desktop.interface toolkit-accessibility true 2>/dev/null || true

orca --replace --debug-file="$run/orca.log" >"$run/orca.out" 2>&1 &
orca_pid=$!
sleep 4

step() {  # waits, then files what Orca said since the last step under its heading
    sleep "$pause"
    n=$(grep -c 'SPEECH OUTPUT' "$run/orca.log" || true)
    {
        printf '%s\n' "$1"
        grep -A1 'SPEECH OUTPUT' "$run/orca.log" | grep -v '^--$' |
            awk '/SPEECH OUTPUT/ { n++ } n > '"$said"' && !/SPEECH DISPATCHER/' |
            sed "s/^[0-9:.]* - SPEECH OUTPUT: /    /; s/ *{'established': False}//"
    } >>"$run/walk"
    said=$n
}
key() { xdotool key --delay 100 "$@"; }
# What a window manager does: the window that shows gets the keyboard.
focus() { xdotool search --sync --onlyvisible --name "$1" windowfocus; }
start() {
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" >>"$run/app.out" 2>&1 &
    app_pid=$!
    step "* the language dialog opens"
    pause=${ORCA_WALK_PAUSE:-2}
    if [ "$language" = czech ]; then
        key Up && step "* Up: Czech"
    fi
    key Tab && step "* Tab"
}
said=0 pause=4
cd "$run/game"

# The main window: its link, Save twice, Reset, Home and End on Music, Quit.
start
key Return && focus '^Quorrel - setup$' && step "* Enter: the main window"
key shift+Tab && step "* Shift+Tab: the link"
key Return && step "* Enter on the link"
key space && step "* Space on the link"
key shift+Tab shift+Tab shift+Tab && step "* Shift+Tab three times: Save"
key Return && step "* Enter on Save"
key Return && step "* Enter on Save again"
key shift+Tab && step "* Shift+Tab: Reset"
key Return && step "* Enter on Reset"
key Tab Tab Tab Tab Tab Tab Tab Tab && step "* Tab eight times: Music"
key Home && step "* Home"
key End && step "* End"
key ctrl+q && step "* Ctrl+Q"
kill "$app_pid" 2>/dev/null && echo "Ctrl+Q did not end the program" >>"$run/walk"
wait "$app_pid" || true

# The about box, from the language dialog, and its three links.
start
key Tab && step "* Tab: About"
key Return && focus '^About' && step "* Enter: the about box"
key Return && step "* Enter on the first link"
key Tab && step "* Tab"
key space && step "* Space"
key Tab && step "* Tab"
key Return && step "* Enter"
key Tab && step "* Tab"
step "end"
kill "$app_pid"

cat "$run/walk"
echo "Opened:"
sed 's/^/    /' "$run/opened" 2>/dev/null || true
echo "Saved: $(ls "$run/game")"
