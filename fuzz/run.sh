#!/bin/sh
# Builds the fuzz targets with clang and runs each for the given seconds (default 60) on a copy
# of its seed corpus. Exits non-zero if any target finds a crash, a sanitizer report or a
# wrong result; the input that did it is kept in the build directory as <target>-crash-*.
# TOVEMI_FUZZ_BUILD names another build directory than build-fuzz. The runs start from a fixed
# seed, so that a failure seen once is seen again on the next run; TOVEMI_FUZZ_SEED=0 lets
# libFuzzer pick a new one each time, for a longer search.
set -eu

seconds=${1:-60}
seed=${TOVEMI_FUZZ_SEED:-1}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TOVEMI_FUZZ_BUILD:-$root/build-fuzz}
targets="fuzz_read_number fuzz_round_trip fuzz_media_file"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTOVEMI_FUZZ=ON -DBUILD_TESTING=OFF -DTOVEMI_BENCH=OFF >/dev/null
# shellcheck disable=SC2086
cmake --build "$build" --target $targets -j2

# The targets run side by side, each for the whole time: each is one process that keeps one
# core busy, and the machine has more than one. Each one's report is printed when all are done.
logs=$(mktemp -d)
pids=""
for target in $targets; do
    corpus="$logs/$target-corpus"
    mkdir "$corpus"
    cp "$root/fuzz/corpus/$target/"* "$corpus/"
    "$build/fuzz/$target" -max_total_time="$seconds" -seed="$seed" -print_final_stats=1 \
        -artifact_prefix="$build/$target-" "$corpus" >"$logs/$target.log" 2>&1 &
    pids="$pids $!"
done
status=0
# shellcheck disable=SC2086
set -- $pids
for target in $targets; do
    echo "== $target, ${seconds}s"
    if wait "$1"; then
        tail -n 20 "$logs/$target.log"
    else
        cat "$logs/$target.log"
        echo "!! $target failed" >&2
        status=1
    fi
    shift
done
rm -rf "$logs"
exit $status
