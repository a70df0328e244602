#!/usr/bin/env bash
# Runs every benchmark and prints a Markdown table: each figure beside a floor
# measured in the same run, their ratio and its target.
# Usage: bench/run.sh [--brief] [BUILD_DIR]      (BUILD_DIR defaults to build)
#   --brief  each figure once and quickly, for CI: no targets; fails only if something crashes.
# Without --brief the exit status is 1 when a figure misses its target.
set -euo pipefail
export LC_ALL=C
brief=0 build=build
for arg in "$@"; do
    case $arg in
        --brief) brief=1 ;;
        -*) sed -n '2,6s/^# //p' "$0" >&2; exit 2 ;;
        *) build=$arg ;;
    esac
done
bin=$(cd "$build/bench" 2>/dev/null && pwd) || { echo "no $build/bench: build the project first" >&2; exit 2; }
# shellcheck source-path=SCRIPTDIR/.. source=scripts/xvfb.sh
. "$(dirname "$0")/../scripts/xvfb.sh"
if ((brief)); then
    idle_s=1 settle_s=0.3 startups=1 copies=1 note=', brief run' gbench=(--benchmark_min_time=0.01)
else
    idle_s=30 settle_s=2 startups=11 copies=3 note=
    gbench=(--benchmark_repetitions=9 --benchmark_enable_random_interleaving=true
            --benchmark_report_aggregates_only=true --benchmark_min_time=0.2)
fi

tmp=$(mktemp -d) servers=() idle=()  # processes started here, ended on exit
stop() { local pid; for pid; do { kill "$pid" && wait "$pid"; } 2>/dev/null || true; done; }
trap 'stop "${idle[@]}" "${servers[@]}"; rm -rf "$tmp"' EXIT
trap 'exit 130' INT TERM
die() { echo "run.sh: $*" >&2; exit 1; }

rows=() missed=0
# figure NAME PROGRAM FLOOR DIVISOR DECIMALS UNIT LIMIT [MAX]: a row of the table, values
# shown in UNIT (DIVISOR of theirs); PROGRAM/FLOOR must be <= LIMIT and PROGRAM <= MAX.
figure() {
    [[ -n $2 && -n $3 ]] || die "no result for $1"
    rows+=("$(awk -v name="$1" -v p="$2" -v f="$3" -v d="$4" -v n="$5" -v u="$6" -v l="$7" -v m="${8:-}" 'BEGIN {
        r = sprintf("%.2f", f > 0 ? p / f : 0)
        ok = r + 0 <= l + 0 && (m == "" || p + 0 <= m + 0)
        printf "| %s | %." n "f %s | %." n "f %s | %s | ≤ %s%s | %s |\n", name, p / d, u, f / d, u, r, l,
               m == "" ? "" : ", ≤ " m / d " " u, ok ? "yes" : "no" }')")
    [[ ${rows[-1]} == *"| yes |" ]] || missed=1
}
# median FILE: the median of the values collected in $tmp/FILE.
median() { sort -n "$tmp/$1" | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# In process: refresh ticks and Save.
"$bin/quorrel-bench" "${gbench[@]}" --benchmark_out="$tmp/inprocess.json" --benchmark_out_format=json \
    >"$tmp/inprocess.out" 2>&1 || { cat "$tmp/inprocess.out" >&2; die "quorrel-bench failed"; }
# ns NAME FIELD: a benchmark's median (or only) real_time, cpu_time or counter, in ns.
ns() {
    awk -F'"' -v n="$1" -v f="$2" '
        $2 == "run_name" { run = $4; pick = 0 }
        $2 == "run_type" && $4 == "iteration" || $2 == "aggregate_name" && $4 == "median" { pick = run == n }
        $2 == "error_message" && run == n { print "quorrel-bench: " n ": " $4 >"/dev/stderr"; failed = 1 }
        pick && $2 == f { v = $3; gsub(/[:, ]/, "", v) }
        END { if (failed || v == "") exit 1; print v }' "$tmp/inprocess.json" || die "no $2 of $1 from quorrel-bench"
}
figure "steady tick" "$(ns SteadyTick cpu_time)" "$(ns ComposeFloor cpu_time)" 1000 3 µs 2 5000
figure "changed tick" "$(ns ChangedTick cpu_time)" "$(ns SetPlainTextFloor cpu_time)" 1000 1 µs 1.2
save=("$(ns Save/manual_time real_time)" "$(ns Save/manual_time floor_ns)")

# Processes under Xvfb: idle CPU, memory, start-up.
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$tmp/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
declare -A display side cpu0
for s in program floor; do  # each on an X server of its own
    xvfb_start || die "cannot start Xvfb"
    servers+=("$xvfb_pid") display[$s]=$xvfb_display
done
# cpu_ns PID: CPU time of all the process's threads so far, in nanoseconds.
cpu_ns() { { cat /proc/"$1"/task/*/schedstat 2>/dev/null || true; } | awk '{ t += $1 } END { printf "%.0f\n", t }'; }

# Program and floor side by side, so that both see the same load; several copies of
# each, as one process's figure varies by itself.
for ((k = 0; k < copies; k++)); do
    for s in program floor; do
        DISPLAY=${display[$s]} "$bin/quorrel-bench-$s" >"$tmp/idle$k$s" 2>>"$tmp/$s.err" &
        idle+=($!) side[$!]=$s limit=$((SECONDS + 30))
        until grep -q '^shown ' "$tmp/idle$k$s" 2>/dev/null; do
            { kill -0 "${idle[-1]}" 2>/dev/null && ((SECONDS < limit)); } || die "$s never showed its main window"
            sleep 0.05
        done
    done
done
sleep "$settle_s"
for pid in "${idle[@]}"; do cpu0[$pid]=$(cpu_ns "$pid"); done
sleep "$idle_s"
for pid in "${idle[@]}"; do
    kill -0 "$pid" 2>/dev/null || die "${side[$pid]} ended while idle"
    echo $(($(cpu_ns "$pid") - cpu0[$pid])) >>"$tmp/cpu-${side[$pid]}"
    awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status" >>"$tmp/memory-${side[$pid]}"
done
stop "${idle[@]}" && idle=()

# startup_us SIDE: process start to main window shown, in microseconds.
startup_us() {
    local t0=${EPOCHREALTIME/./}
    DISPLAY=${display[$1]} QUORREL_BENCH_QUIT_MS=0 timeout 60 "$bin/quorrel-bench-$1" 2>>"$tmp/$1.err" \
        | awk -v t0="$t0" '/^shown / { print $2 - t0; shown = 1 } END { exit !shown }' || die "$1 failed at start-up"
}
((brief)) || { startup_us program && startup_us floor; } >/dev/null  # the first runs fill the page cache
for ((i = 0; i < startups; i++)); do
    startup_us program >>"$tmp/startup-program"
    startup_us floor >>"$tmp/startup-floor"
done

figure "idle CPU, ${idle_s} s" "$(median cpu-program)" "$(median cpu-floor)" 1e6 1 ms 1.3
figure "start-up" "$(median startup-program)" "$(median startup-floor)" 1000 0 ms 1.3
figure "memory (VmHWM)" "$(median memory-program)" "$(median memory-floor)" 1024 1 MiB 1.2
figure "save" "${save[@]}" 1000 0 µs 1.2
if ((brief)); then  # one run on a busy machine says nothing about the targets
    printf '%s\n' "| figure | program | floor | ratio |" "| --- | ---: | ---: | ---: |"
    printf '%s\n' "${rows[@]}" | sed 's/ | [^|]* | [^|]* |$/ |/'
else
    printf '%s\n' "| figure | program | floor | ratio | target | ok |" "| --- | ---: | ---: | ---: | --- | --- |" "${rows[@]}"
fi
printf '\n%s CPUs, %s, %s RAM; %s%s\n' "$(nproc)" "$(lscpu | sed -n 's/^Model name: *//p' | head -1)" \
    "$(awk '/^MemTotal:/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo)" "$(date -u +%F)" "$note"
((brief)) || exit "$missed"
