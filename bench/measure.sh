#!/usr/bin/env bash
# Whole-process figures of Vantrel beside other programs, in one run under Xvfb: start-up to the
# first mapped window, resident and private memory after RSS_AFTER seconds, CPU time and
# voluntary context switches (wake-ups) over the next CPU_SECONDS. Each round starts every
# program once (the order alternates), lets them run side by side, then stops them. Prints
# medians with the spread (min-max) over the rounds.
#
#   bench/measure.sh [rounds]          (default 3; RSS_AFTER=30, CPU_SECONDS=60)
#
# Builds what it needs in build-bench/. Extra programs can be added as NAME=COMMAND arguments
# after the round count.
set -euo pipefail
cd "$(dirname "$0")/.."
ROUNDS=${1:-3}
shift || true
RSS_AFTER=${RSS_AFTER:-30}
CPU_SECONDS=${CPU_SECONDS:-60}

cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVANTREL_TESTS=OFF -DVANTREL_BENCH=ON >/dev/null
cmake --build build-bench -j"$(nproc)" --target vantrel minimal_bar mapwait >/dev/null

WORK=$(mktemp -d /tmp/vantrel-measure-XXXXXX)
PIDS=()
cleanup() {
    for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

for n in $(seq 120 200); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
    Xvfb :$n -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    PIDS+=($!)
    export DISPLAY=:$n
    break
done
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/home/.config XDG_RUNTIME_DIR=$WORK/run
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset SESSION_MANAGER

NAMES=(vantrel minimal-qt-bar)
COMMANDS=("$PWD/build-bench/vantrel" "$PWD/build-bench/bench/minimal_bar --tray")
for extra in "$@"; do
    NAMES+=("${extra%%=*}")
    COMMANDS+=("${extra#*=}")
done

# CPU nanoseconds and voluntary context switches of a process, all threads.
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{s+=$1} END{print s+0}'; }
wakeups() { cat /proc/"$1"/task/*/status 2>/dev/null | awk '/^voluntary_ctxt_switches/{s+=$2} END{print s+0}'; }
rss_kb() { awk '/^VmRSS/{print $2}' /proc/"$1"/status; }
private_kb() { awk '/^Private_(Clean|Dirty)/{s+=$2} END{print s+0}' /proc/"$1"/smaps_rollup; }

for round in $(seq "$ROUNDS"); do
    order=$(seq 0 $((${#NAMES[@]} - 1)))
    [ $((round % 2)) = 0 ] && order=$(echo "$order" | tac)
    declare -A PID=()
    for i in $order; do
        # shellcheck disable=SC2086
        read -r ms pid < <(./build-bench/bench/mapwait ${COMMANDS[$i]})
        PIDS+=("$pid")
        PID[$i]=$pid
        echo "${NAMES[$i]} startup_ms $ms" >>"$WORK/samples"
        sleep 1
    done
    sleep "$RSS_AFTER"
    declare -A CPU0=() WAKE0=()
    for i in "${!PID[@]}"; do
        p=${PID[$i]}
        echo "${NAMES[$i]} resident_mb $(awk "BEGIN{print $(rss_kb "$p")/1024}")" >>"$WORK/samples"
        echo "${NAMES[$i]} private_mb $(awk "BEGIN{print $(private_kb "$p")/1024}")" >>"$WORK/samples"
        CPU0[$i]=$(cpu_ns "$p")
        WAKE0[$i]=$(wakeups "$p")
    done
    sleep "$CPU_SECONDS"
    for i in "${!PID[@]}"; do
        p=${PID[$i]}
        cpu=$(( $(cpu_ns "$p") - CPU0[$i] ))
        wake=$(( $(wakeups "$p") - WAKE0[$i] ))
        echo "${NAMES[$i]} cpu_ms_per_min $(awk "BEGIN{print $cpu/1e6*60/$CPU_SECONDS}")" >>"$WORK/samples"
        echo "${NAMES[$i]} wakeups_per_min $(awk "BEGIN{print $wake*60/$CPU_SECONDS}")" >>"$WORK/samples"
        kill "$p" 2>/dev/null || true
    done
    sleep 1
    echo "round $round done" >&2
done

printf '| program | start-up ms | resident MB | private MB | CPU ms/min | wake-ups/min |\n'
printf '|---|---|---|---|---|---|\n'
for name in "${NAMES[@]}"; do
    row="| $name"
    for metric in startup_ms resident_mb private_mb cpu_ms_per_min wakeups_per_min; do
        row+=" | $(awk -v n="$name" -v m="$metric" '$1==n && $2==m {print $3}' "$WORK/samples" | sort -g |
            awk '{v[NR]=$1} END{ if (NR==0) {print "-"; exit}
                 med = (NR%2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2;
                 printf "%.1f (%.1f-%.1f)", med, v[1], v[NR] }')"
    done
    echo "$row |"
done
