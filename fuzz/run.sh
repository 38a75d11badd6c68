#!/bin/sh
# Builds the fuzz targets with clang and runs each for a fixed time (default 60 s) on a copy of
# its seed corpus; any crash, sanitizer report or broken round trip fails the run.
# usage: fuzz/run.sh [seconds]       e.g. fuzz/run.sh 3600 for an hour each
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build="$top/build-fuzz"
CC=clang CXX=clang++ cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTOVEMI_FUZZ=ON -DBUILD_TESTING=OFF -DTOVEMI_BENCH=OFF >/dev/null
cmake --build "$build" --target fuzz_read_number fuzz_round_trip
for target in read_number round_trip; do
    corpus=$(mktemp -d)
    cp "$top/fuzz/corpus/$target"/* "$corpus"/
    echo "fuzzing $target for ${seconds}s"
    log="$build/fuzz_$target.log"
    status=0
    (cd "$build" && "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
        "$corpus" >"$log" 2>&1) || status=$?
    tail -n 12 "$log"
    rm -rf "$corpus"
    if [ "$status" -ne 0 ]; then
        echo "FAIL: fuzz_$target found a fault (log: $log; the crashing input is in $build)"
        exit 1
    fi
done
