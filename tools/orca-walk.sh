#!/bin/sh
# Walks the program keyboard-only under the Orca screen reader and prints, in
# order, everything Orca said (its debug log's speech; Orca echoes each key, so
# "tab", "return" and so on mark the keys): in a private Xvfb with its own D-Bus
# session and accessibility bus, a fake `xdg-open` recording the addresses
# opened and a throwaway game folder. Usage:
#   tools/orca-walk.sh [BUILD_DIR] [czech|english]
# It takes about a minute: ORCA_WALK_PAUSE seconds (2 unless set) after each key.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/deps" orca
build=$(cd "${1:-$here/build}" && pwd)
language=${2:-english}
program="$build/quorrel-setup"
[ -x "$program" ] || { echo "no $program: build it first" >&2; exit 1; }

# shellcheck source=scripts/xvfb.sh
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
export XDG_DATA_HOME="$run/home/.local/share"
# shellcheck disable=SC2016  # $1 is the opener's
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

orca --replace --debug-file="$run/orca.log" >"$run/orca.out" 2>&1 &
orca_pid=$!
sleep 4

step() { sleep "$pause"; }
run_marker() {  # a heading in the speech where a run of the program starts
    printf '%s\n' "$1" >>"$run/marks"
    grep -c 'SPEECH OUTPUT' "$run/orca.log" >>"$run/marks" || true
}
key() { xdotool key --delay 100 "$@"; }
# What a window manager does: the window that shows gets the keyboard.
focus() { timeout 20 xdotool search --sync --onlyvisible --name "$1" windowfocus; }
start() {  # the program, in the chosen language, on the language dialog's OK
    run_marker "$1"
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" >>"$run/app.out" 2>&1 &
    app_pid=$!
    pause=4 && step
    pause=${ORCA_WALK_PAUSE:-2}
    if [ "$language" = czech ]; then
        key Up && step
    fi
    key Tab && step
}
cd "$run/game"

start "== The main window: its link, Save twice, Reset, Home and End on Music, Quit"
key Return && focus '^Quorrel - setup$' && step
key shift+Tab && step # the link
key Return && step
key space && step
key shift+Tab shift+Tab shift+Tab && step # Save
key Return && step
key Return && step
key shift+Tab && step # Reset
key Return && step
key Tab Tab Tab Tab Tab Tab Tab Tab && step # Music
key Home && step
key End && step
key ctrl+q && step
kill "$app_pid" 2>/dev/null && echo "Ctrl+Q did not end the program" >&2
wait "$app_pid" || true

start "== The about box, from the language dialog: Enter, Space and Enter on its three links"
key Tab && step # About
key Return && focus '^About' && step
key Return && step
key Tab && step
key space && step
key Tab && step
key Return && step
key Tab && step
kill "$app_pid" 2>/dev/null || true

# Speech in order, each utterance on one line, under the runs' headings.
awk -v marks="$run/marks" '
    function flush() {
        if (on) { sub(/ *\{.established.: False\}$/, "", line); print "    " line }
        on = 0
    }
    BEGIN { while ((getline h < marks) > 0) { getline k < marks; head[k] = h } }
    /SPEECH OUTPUT/ { flush(); if (n in head) print head[n]; n++; on = 1
        sub(/^[0-9:.]* - SPEECH OUTPUT: /, ""); line = $0; next }
    on && /^                  / { sub(/^ +/, " "); line = line $0; next }
    { flush() }
    END { flush() }
' "$run/orca.log"
echo "Opened:"
sed 's/^/    /' "$run/opened" 2>/dev/null || true
echo "Saved: $(ls "$run/game")"
