#!/bin/bash
# Start-up of Tovemi against a bare Qt window: the time from starting the program to the X
# server mapping its window (MapNotify, seen by xev on the root window), and the peak resident
# memory (VmHWM) once the window is shown. Median of 10 runs each, taken in turns, under a
# private Xvfb.
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

# Prints "<milliseconds to map> <peak KiB>" for one start of the program. A reader blocked on
# xev's output stamps the MapNotify as it arrives, so nothing polls while the program starts.
measure() {
    dir=$(mktemp -d)
    mkfifo "$dir/events"
    stdbuf -oL xev -root -event substructure >"$dir/events" 2>/dev/null &
    xev=$!
    {
        while IFS= read -r line; do
            case $line in MapNotify*) echo "${EPOCHREALTIME/./}" >"$dir/mapped"; break ;; esac
        done
        cat >/dev/null
    } <"$dir/events" &
    sleep 0.3
    start=${EPOCHREALTIME/./}
    (cd "$top/media/files" && exec "$@") >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 200); do
        [ -s "$dir/mapped" ] && break
        sleep 0.05
    done
    sleep 0.2
    peak=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
    kill "$pid" "$xev" 2>/dev/null || true
    wait 2>/dev/null || true
    mapped=$(cat "$dir/mapped" 2>/dev/null || echo "$start")
    rm -rf "$dir"
    echo "$(( (mapped - start) / 1000 )) $peak"
}

median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

# The two programs take turns, so that a slow spell of the machine falls on both.
: >/tmp/startup-tovemi
: >/tmp/startup-bare
for _ in $(seq "$runs"); do
    measure "$build/app/tovemi" >>/tmp/startup-tovemi
    measure "$build/bench/bare_window" >>/tmp/startup-bare
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
