#!/bin/sh
# Every performance figure of the README in one go: a Release build in build-bench (or the
# folder given), the Google Benchmark cases with their ratios, then start-up under Xvfb.
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
"$top/bench/startup.sh" "$build"
