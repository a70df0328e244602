#!/usr/bin/env bash
# Runs every benchmark and prints a Markdown table: each figure beside a floor
# measured in the same run, their ratio and its target.
#
# Usage: bench/run.sh [--brief] [BUILD_DIR]      (BUILD_DIR defaults to build)
#   --brief  each figure once and quickly, for CI: fails only if something crashes.
# Without --brief the exit status is 1 when a figure misses its target.
set -euo pipefail
export LC_ALL=C

brief=0
build=build
for arg in "$@"; do
    case $arg in
        --brief) brief=1 ;;
        -h|--help) sed -n '2,7s/^# \{0,1\}//p' "$0"; exit 0 ;;
        -*) echo "unknown option: $arg" >&2; exit 2 ;;
        *) build=$arg ;;
    esac
done
bin=$(cd "$build/bench" 2>/dev/null && pwd) || { echo "no $build/bench: build the project first" >&2; exit 2; }
for exe in quorrel-bench quorrel-bench-program quorrel-bench-floor; do
    [[ -x $bin/$exe ]] || { echo "missing $bin/$exe: build the project first" >&2; exit 2; }
done

if ((brief)); then
    idle_s=1 settle_s=0.3 startups=1 copies=1
    inprocess_args=(--benchmark_min_time=0.01)
else
    idle_s=30 settle_s=2 startups=11 copies=3
    inprocess_args=(--benchmark_repetitions=9 --benchmark_enable_random_interleaving=true
                    --benchmark_report_aggregates_only=true --benchmark_min_time=0.2)
fi

tmp=$(mktemp -d)
pids=()  # every process started here, ended on exit
# stop PID: ends a process started here and forgets it.
stop() {
    kill "$1" 2>/dev/null && wait "$1" 2>/dev/null || true
    local pid kept=()
    for pid in "${pids[@]}"; do
        [[ $pid == "$1" ]] || kept+=("$pid")
    done
    pids=("${kept[@]}")
}
cleanup() {
    while ((${#pids[@]})); do
        stop "${pids[0]}"
    done
    rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
die() { echo "run.sh: $*" >&2; exit 1; }

rows=()
missed=0
# row FIGURE PROGRAM FLOOR RATIO TARGET OK
row() {
    rows+=("| $1 | $2 | $3 | $4 | $5 | $6 |")
    [[ $6 == yes || $6 == - ]] || missed=1
}
# ok RATIO LIMIT: yes when RATIO <= LIMIT
ok() { awk -v r="$1" -v l="$2" 'BEGIN { print (r <= l ? "yes" : "no") }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
# fmt VALUE DIVISOR DECIMALS UNIT
fmt() { awk -v v="$1" -v d="$2" -v p="$3" -v u="$4" 'BEGIN { printf "%." p "f %s", v / d, u }'; }

# ---- in process: refresh ticks and Save --------------------------------------------

"$bin/quorrel-bench" --benchmark_color=false "${inprocess_args[@]}" \
    >"$tmp/inprocess.txt" 2>"$tmp/inprocess.err" \
    || { cat "$tmp/inprocess.err" "$tmp/inprocess.txt" >&2; die "quorrel-bench failed"; }
# ns NAME FIELD: the median (or only) value of a benchmark in nanoseconds; FIELD is
# 2 for real time, 4 for CPU time, or a counter's name.
ns() {
    awk -v n="$1" -v f="$2" '
        function number(s,  m) {  # "305.7k" -> 305700
            m = 1
            if (s ~ /k$/) m = 1e3; else if (s ~ /M$/) m = 1e6; else if (s ~ /G$/) m = 1e9
            sub(/[kMG]$/, "", s)
            return s * m
        }
        { name = $1; sub(/\/(real|manual)_time/, "", name); sub(/_median$/, "", name) }
        name == n && ($1 ~ /_median$/ || $1 !~ /_(mean|stddev|cv)$/) {
            if (f ~ /^[0-9]+$/) { t = $f; next }
            for (i = 2; i <= NF; i++)
                if (index($i, f "=") == 1) t = number(substr($i, length(f) + 2))
        }
        END { if (t == "") exit 1; print t }' "$tmp/inprocess.txt" \
        || die "no result for $1 $2 in quorrel-bench's output"
}

tick=$(ns SteadyTick 4) compose=$(ns ComposeFloor 4)
r=$(ratio "$tick" "$compose")
within=$(awk -v r="$r" -v t="$tick" 'BEGIN { print (r <= 2 && t <= 5000 ? "yes" : "no") }')
row "steady tick" "$(fmt "$tick" 1000 3 µs)" "$(fmt "$compose" 1000 3 µs)" "$r" "≤ 2, ≤ 5 µs" "$within"

tick=$(ns ChangedTick 4) floor=$(ns SetPlainTextFloor 4)
r=$(ratio "$tick" "$floor")
row "changed tick" "$(fmt "$tick" 1000 1 µs)" "$(fmt "$floor" 1000 1 µs)" "$r" "≤ 1.2" "$(ok "$r" 1.2)"

save=$(ns Save 2) floor=$(ns Save floor_ns)
r=$(ratio "$save" "$floor")
save_row=("save" "$(fmt "$save" 1000 0 µs)" "$(fmt "$floor" 1000 0 µs)" "$r" "≤ 1.2" "$(ok "$r" 1.2)")

# ---- processes under Xvfb: idle CPU, start-up, memory ------------------------------

# start_xvfb: starts an X server on a free display and sets $display.
start_xvfb() {
    local n
    for ((n = 90; n < 200; n++)); do
        [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$tmp/xvfb$n.log" 2>&1 &
        pids+=($!)
        local i
        for ((i = 0; i < 100; i++)); do
            [[ -S /tmp/.X11-unix/X$n ]] && { display=:$n; return; }
            kill -0 "${pids[-1]}" 2>/dev/null || break
            sleep 0.05
        done
    done
    die "cannot start Xvfb"
}

# shown_at FILE PID: waits for the probe's line and prints its time in microseconds.
shown_at() {
    local i line
    for ((i = 0; i < 600; i++)); do
        line=$(grep -m1 '^shown ' "$1" 2>/dev/null || true)
        [[ -n $line ]] && { echo "${line#shown }"; return; }
        kill -0 "$2" 2>/dev/null || break
        sleep 0.05
    done
    die "$(basename "$1") never showed its main window"
}

# cpu_ns PID: CPU time of all the process's threads so far, in nanoseconds.
cpu_ns() {
    local sum=0 f ns _
    for f in /proc/"$1"/task/*/schedstat; do
        read -r ns _ <"$f" && sum=$((sum + ns))
    done
    echo "$sum"
}

# startup_us EXE DISPLAY: process start to main window shown, in microseconds.
startup_us() {
    local out=$tmp/startup.out t0 shown
    t0=$EPOCHREALTIME
    DISPLAY=$2 timeout 60 "$bin/$1" 0 >"$out" 2>>"$tmp/$1.err" || die "$1 failed at start-up"
    shown=$(grep -m1 '^shown ' "$out") || die "$1 never showed its main window"
    echo $((${shown#shown } - ${t0/./}))
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

if command -v Xvfb >/dev/null; then
    export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$tmp/runtime
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    start_xvfb; display_p=$display
    start_xvfb; display_f=$display

    # Program and floor side by side, each on its own display, so that both see the
    # same load; several copies of each, as one process's figure varies by itself.
    idle=()
    for ((k = 0; k < copies; k++)); do
        DISPLAY=$display_p "$bin/quorrel-bench-program" >"$tmp/idle-program$k.out" 2>>"$tmp/program.err" &
        idle+=("program $! $tmp/idle-program$k.out"); pids+=($!)
        DISPLAY=$display_f "$bin/quorrel-bench-floor" >"$tmp/idle-floor$k.out" 2>>"$tmp/floor.err" &
        idle+=("floor $! $tmp/idle-floor$k.out"); pids+=($!)
    done
    for entry in "${idle[@]}"; do
        read -r side pid out <<<"$entry"
        shown_at "$out" "$pid" >/dev/null
    done
    sleep "$settle_s"
    declare -A cpu0
    for entry in "${idle[@]}"; do
        read -r side pid out <<<"$entry"
        cpu0[$pid]=$(cpu_ns "$pid")
    done
    sleep "$idle_s"
    for entry in "${idle[@]}"; do
        read -r side pid out <<<"$entry"
        kill -0 "$pid" 2>/dev/null || die "$side ended while idle"
        echo $(($(cpu_ns "$pid") - cpu0[$pid])) >>"$tmp/idle-$side"
        awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status" >>"$tmp/memory-$side"
        stop "$pid"
    done
    idle_p=$(median <"$tmp/idle-program") idle_f=$(median <"$tmp/idle-floor")
    hwm_p=$(median <"$tmp/memory-program") hwm_f=$(median <"$tmp/memory-floor")

    r=$(ratio "$idle_p" "$idle_f")
    row "idle CPU, ${idle_s} s" "$(fmt "$idle_p" 1e6 1 ms)" "$(fmt "$idle_f" 1e6 1 ms)" "$r" "≤ 1.3" "$(ok "$r" 1.3)"

    if ((!brief)); then  # first runs fill the page cache
        startup_us quorrel-bench-program "$display_p" >/dev/null
        startup_us quorrel-bench-floor "$display_f" >/dev/null
    fi
    for ((i = 0; i < startups; i++)); do
        startup_us quorrel-bench-program "$display_p" >>"$tmp/startup-program"
        startup_us quorrel-bench-floor "$display_f" >>"$tmp/startup-floor"
    done
    up_p=$(median <"$tmp/startup-program") up_f=$(median <"$tmp/startup-floor")
    r=$(ratio "$up_p" "$up_f")
    row "start-up" "$(fmt "$up_p" 1000 0 ms)" "$(fmt "$up_f" 1000 0 ms)" "$r" "≤ 1.3" "$(ok "$r" 1.3)"

    r=$(ratio "$hwm_p" "$hwm_f")
    row "memory (VmHWM)" "$(fmt "$hwm_p" 1024 1 MiB)" "$(fmt "$hwm_f" 1024 1 MiB)" "$r" "≤ 1.2" "$(ok "$r" 1.2)"
else
    for figure in "idle CPU" "start-up" "memory (VmHWM)"; do
        row "$figure" "skipped: no Xvfb" "" "" "" "-"
    done
fi
row "${save_row[@]}"

# ---- table ------------------------------------------------------------------------

echo "| figure | program | floor | ratio | target | ok |"
echo "| --- | ---: | ---: | ---: | --- | --- |"
printf '%s\n' "${rows[@]}"
echo
model=$(lscpu 2>/dev/null | sed -n 's/^Model name: *//p' | head -1)
mem=$(awk '/^MemTotal:/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo)
echo "$(nproc) CPUs, ${model:-unknown CPU}, $mem RAM; $(date -u +%Y-%m-%d)$( ((brief)) && echo ', brief run')"

((brief)) && exit 0
exit "$missed"
