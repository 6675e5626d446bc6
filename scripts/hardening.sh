#!/usr/bin/env bash
# Hardening run: the unit, system and window tests built with AddressSanitizer and
# UndefinedBehaviorSanitizer (clang), then a bounded run of every libFuzzer target on its seeds.
# Any sanitizer report or fuzzer finding fails the run.
#   scripts/hardening.sh [fuzz seconds per target, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
FUZZ_SECONDS=${1:-60}
# The public BMP corpus beside the clone (another place may be given for a checkout elsewhere).
BMPSUITE=$(realpath -m "${VANTREL_BMPSUITE_DIR:-../shared/bmpsuite}")
bash scripts/deps.sh test
export CC=clang CXX=clang++

start=$(date +%s)
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DVANTREL_SANITIZE=ON -DVANTREL_E2E=OFF \
    -DVANTREL_BMPSUITE_DIR="$BMPSUITE" >/dev/null
cmake --build build-asan -j"$(nproc)" --target unit_tests system_tests window_tests
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd build-asan && ctest --output-on-failure -L 'unit|system|windows' -j2)
echo "sanitizer run: $(($(date +%s) - start)) s"

start=$(date +%s)
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREL_TESTS=OFF -DVANTREL_FUZZ=ON \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined" >/dev/null
cmake --build build-fuzz -j"$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
# Everything a run writes (its growing corpus, its findings) stays under the build folder.
findings=$PWD/build-fuzz/findings
runs=$PWD/build-fuzz/runs
rm -rf "$findings" "$runs"
for target in build-fuzz/tests/fuzz/fuzz_*; do
    if [ ! -f "$target" ] || [ ! -x "$target" ]; then continue; fi # not the build's folders
    name=$(basename "$target")
    name=${name#fuzz_}
    # Absolute paths: a target may change its current folder (the path target does).
    work=$runs/$name
    log=$runs/$name.log
    found=$findings/$name
    mkdir -p "$work" "$found"
    seeds=("$PWD/tests/fuzz/corpus/$name")
    if [ "$name" = bmp ]; then
        for d in "$BMPSUITE"/g "$BMPSUITE"/q "$BMPSUITE"/b; do
            [ -d "$d" ] && seeds+=("$d")
        done
    fi
    echo "fuzzing $name for $FUZZ_SECONDS s"
    status=0
    "$target" -max_total_time="$FUZZ_SECONDS" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$found/" -print_final_stats=1 "$work" "${seeds[@]}" >"$log" 2>&1 ||
        status=$?
    grep -E '^(#[0-9]+[[:space:]]+(INITED|DONE)|stat::number_of_executed_units|==[0-9]+==ERROR|SUMMARY|artifact)' "$log" || true
    # A finding, or a target that could not run at all (say no seed could be read), fails.
    if [ "$status" -ne 0 ] || [ -n "$(ls -A "$found")" ]; then
        echo "fuzz_$name failed (exit status $status); failing inputs in $found:" >&2
        tail -n 40 "$log" >&2
        exit 1
    fi
    rm -rf "$work" "$log"
    rmdir "$found"
done
rm -rf "$runs" "$findings"
echo "fuzzing: $(($(date +%s) - start)) s"
