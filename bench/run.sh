#!/bin/sh
# Every performance figure of the README in one go: a Release build in build-bench (or the
# folder given), the Google Benchmark cases with their ratios, peak memory with huge media,
# start-up under Xvfb, Enter to the first sound on a null sink, and what the sound costs idle.
# Run it on an idle machine; each figure is a ratio to a baseline measured in the same run.
# usage: bench/run.sh [build-dir]
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build-bench}
mkdir -p "$build"
build=$(cd "$build" && pwd)
[ -f "$build/CMakeCache.txt" ] || cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target bench tovemi bare_window
# Five repetitions of each case in a random order, so that a baseline and its case meet the
# same spells of a busy machine; the ratios are of the medians.
QT_QPA_PLATFORM=offscreen "$build/bench/bench" --benchmark_color=false \
    --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true \
    --benchmark_report_aggregates_only=true
# Peak memory of a process answering with the shipped files, and with a ten-minute sound and a
# 5500 × 5500 picture in their place; then with the shipped files, and with a 4000 × 4000 PNG
# as the wrong answer's picture (made by the run above, and kept beside the benchmarks).
for case in 'Media/baseline$' 'Media/huge$' PhotoSound/baseline/ PhotoSound/png4000/; do
    peak=$( { QT_QPA_PLATFORM=offscreen /usr/bin/time -f '%M' "$build/bench/bench" \
        --benchmark_filter="^$case" --benchmark_min_time=0.5 >/dev/null; } 2>&1 | tail -1)
    echo "peak memory, $case: $peak KiB"
done
"$top/bench/startup.sh" "$build"
"$top/bench/sound_latency.sh" "$build"
"$top/bench/sound_idle.sh" "$build"
