#!/bin/sh
# Start-up of Tovemi against a bare Qt window: the time from starting the program to the X
# server mapping its window (MapNotify, seen by xev on the root window), and the peak resident
# memory (VmHWM) once the window is shown. Median of 10 runs each, under a private Xvfb.
# usage: bench/startup.sh [build-dir]     (builds both programs there first)
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build-bench}
mkdir -p "$build"
build=$(cd "$build" && pwd)   # the programs start in the media folder
runs=${RUNS:-10}
if [ -z "${DISPLAY:-}" ]; then
    exec "$top/tests/app/with_xvfb.sh" "$0" "$build"
fi
[ -f "$build/CMakeCache.txt" ] || cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target tovemi bare_window >/dev/null

# Prints "<milliseconds to map> <peak KiB>" for one start of the program.
measure() {
    events=$(mktemp)
    stdbuf -oL xev -root -event substructure >"$events" 2>/dev/null &
    xev=$!
    sleep 0.3
    start=$(date +%s%N)
    (cd "$top/media/files" && exec "$@") >/dev/null 2>&1 &
    pid=$!
    mapped=""
    for _ in $(seq 1000); do
        if grep -q '^MapNotify' "$events"; then mapped=$(date +%s%N); break; fi
        sleep 0.002
    done
    sleep 0.2
    peak=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
    kill "$pid" "$xev" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    rm -f "$events"
    echo "$(( (mapped - start) / 1000000 )) $peak"
}

median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

for program in tovemi bare; do
    binary="$build/app/tovemi"
    [ "$program" = bare ] && binary="$build/bench/bare_window"
    : >"/tmp/startup-$program"
    for _ in $(seq "$runs"); do measure "$binary" >>"/tmp/startup-$program"; done
done
t_tovemi=$(cut -d' ' -f1 /tmp/startup-tovemi | median)
m_tovemi=$(cut -d' ' -f2 /tmp/startup-tovemi | median)
t_bare=$(cut -d' ' -f1 /tmp/startup-bare | median)
m_bare=$(cut -d' ' -f2 /tmp/startup-bare | median)
printf '%-12s %12s %12s\n' "" "map (ms)" "peak (KiB)"
printf '%-12s %12s %12s\n' tovemi "$t_tovemi" "$m_tovemi"
printf '%-12s %12s %12s\n' "bare window" "$t_bare" "$m_bare"
awk -v a="$t_tovemi" -v b="$t_bare" -v c="$m_tovemi" -v d="$m_bare" \
    'BEGIN { printf "%-12s %12.2f %12.2f\n", "ratio", a / b, c / d }'
