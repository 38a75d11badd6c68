#!/bin/bash
# The Windows build's figures under Wine, each against a baseline in the same run:
#   start-up: starting the program to the X server mapping its window, against a bare Qt
#     window built the same way (bench/bare_window.cpp), median of RUNS, taken in turns;
#   Enter → first sound on a null sink, against a fresh paplay (bench/sound_latency.py);
#   the installer's and the zip's size, against the program's own folder.
# Run tools/windows/test-windows.sh first: it builds and packages into the build folder.
#   bench/windows_figures.sh [build-dir]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build-windows}" && pwd)
runs=${RUNS:-7}
dist="$build/dist"
[ -f "$dist/Tovemi/tovemi.exe" ] || { echo "no package in $dist: run tools/windows/test-windows.sh" >&2; exit 1; }
. "$top/tools/windows/session.sh"

# The two programs from one folder, so that both load the same DLLs.
folder="$work/Tovemi"
cp -r "$dist/Tovemi" "$folder"
x86_64-w64-mingw32-strip -o "$folder/bare_window.exe" "$build/bench/bare_window.exe"

# Milliseconds from starting the program to the MapNotify of its window on the root window.
measure() {
    local dir=$work/measure start mapped
    rm -rf "$dir"
    mkdir "$dir"
    mkfifo "$dir/events"
    stdbuf -oL xev -root -event substructure >"$dir/events" 2>/dev/null &
    local xev=$!
    {
        while IFS= read -r line; do
            case $line in MapNotify*) echo "${EPOCHREALTIME/./}" >"$dir/mapped"; break ;; esac
        done
        cat >/dev/null
    } <"$dir/events" &
    local reader=$!
    sleep 0.3
    start=${EPOCHREALTIME/./}
    (cd "$folder" && exec wine "$1") >/dev/null 2>&1 &
    local pid=$!
    for _ in $(seq 600); do
        [ -s "$dir/mapped" ] && break
        sleep 0.05
    done
    sleep 0.3
    kill "$xev" 2>/dev/null || true
    wine taskkill /f /im "$1" >/dev/null 2>&1 || true
    wait "$pid" "$xev" "$reader" 2>/dev/null || true
    mapped=$(cat "$dir/mapped" 2>/dev/null || echo "$start")
    echo $(((mapped - start) / 1000))
}
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

: >"$work/tovemi" && : >"$work/bare"
# A first start of each, not counted: Wine loads its own DLLs from disk once.
measure tovemi.exe >/dev/null
measure bare_window.exe >/dev/null
for _ in $(seq "$runs"); do
    measure tovemi.exe >>"$work/tovemi"
    measure bare_window.exe >>"$work/bare"
done
t=$(median <"$work/tovemi") b=$(median <"$work/bare")
echo "start-up under Wine, ms to the window's map (median of $runs): tovemi $t, bare window $b"
awk -v a="$t" -v b="$b" 'BEGIN { printf "start-up ratio (tovemi / bare window): %.2f\n", a / b }'
echo

TOVEMI_LAUNCHER=wine /usr/bin/python3 "$top/bench/sound_latency.py" "$folder/tovemi.exe" "$folder" "${ANSWERS:-10}"
echo

folder_bytes=$(du -sb "$dist/Tovemi" | cut -f1)
for f in "$dist"/tovemi-*-setup.exe "$dist"/tovemi-*-windows.zip; do
    bytes=$(stat -c %s "$f")
    awk -v n="$(basename "$f")" -v a="$bytes" -v b="$folder_bytes" \
        'BEGIN { printf "%-32s %6.1f MiB, %.2f of the folder (%.1f MiB)\n", n, a / 1048576, a / b, b / 1048576 }'
done
