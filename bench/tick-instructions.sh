#!/usr/bin/env bash
# Instructions per steady tick of each tick benchmark in TickBench, counted by callgrind inside
# the benchmarks' SteadyTick alone (the first tick, which draws, is left out). Unlike times, the
# counts repeat from run to run on a busy machine.
#   bench/tick-instructions.sh [build folder with -DVANTREL_BENCH=ON, default build-test]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build-test}
command -v valgrind >/dev/null || { echo "tick-instructions.sh: valgrind is not installed" >&2; exit 1; }
cmake --build "$BUILD" -j2 --target TickBench >/dev/null
bench=$BUILD/bench/TickBench
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for name in $("$bench" --benchmark_list_tests | grep '^BM_SteadyTick'); do
    QT_QPA_PLATFORM=offscreen valgrind --tool=callgrind --callgrind-out-file="$out/$name" \
        --toggle-collect='*::SteadyTick()' "$bench" --benchmark_filter="^$name\$" \
        --benchmark_min_time=0.05 >/dev/null 2>&1
    report=$(callgrind_annotate --inclusive=yes --tree=caller "$out/$name" 2>/dev/null)
    total=$(grep -m1 'PROGRAM TOTALS' <<<"$report" | awk '{gsub(",", "", $1); print $1}')
    calls=$(grep -B1 -m1 '\* .*::SteadyTick()' <<<"$report" | head -1 |
        sed -n 's/.*(\([0-9,]*\)x).*/\1/p' | tr -d ,)
    echo "$name: $((total / calls)) instructions per tick ($total in $calls ticks)"
done
