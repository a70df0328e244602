# Private X servers for the benchmarks and the screenshot tool; sourced, not run.
#
# xvfb_start: starts Xvfb on the first free display from :90 on and waits until
# its socket is there. Sets xvfb_display (":N") and xvfb_pid; the caller ends
# that process, by its id, from its own exit trap (xvfb_pid is empty until a
# server runs). Fails when none starts.
xvfb_start() {
    xvfb_pid=
    xvfb_n=90
    while [ "$xvfb_n" -lt 200 ]; do
        if [ ! -e "/tmp/.X$xvfb_n-lock" ] && [ ! -e "/tmp/.X11-unix/X$xvfb_n" ]; then
            Xvfb ":$xvfb_n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
            xvfb_pid=$!
            xvfb_i=0
            # Another server may take the display first: then this one ends, try the next.
            while [ "$xvfb_i" -lt 100 ] && kill -0 "$xvfb_pid" 2>/dev/null; do
                if [ -S "/tmp/.X11-unix/X$xvfb_n" ]; then
                    # shellcheck disable=SC2034  # for the caller
                    xvfb_display=":$xvfb_n"
                    return 0
                fi
                sleep 0.05
                xvfb_i=$((xvfb_i + 1))
            done
            { kill "$xvfb_pid" && wait "$xvfb_pid"; } 2>/dev/null || true
            xvfb_pid=
        fi
        xvfb_n=$((xvfb_n + 1))
    done
    echo "cannot start Xvfb (Debian: xvfb)" >&2
    return 1
}
