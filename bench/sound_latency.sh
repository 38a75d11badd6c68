#!/bin/bash
# Enter → first sound on a private PulseAudio server's null sink, for the real program under a
# private Xvfb, against a fresh paplay of the same sound (bench/sound_latency.py does the
# measuring). Needs pulseaudio, pulseaudio-utils, xvfb and python3-xlib.
# usage: bench/sound_latency.sh [build-dir] [answers]
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build-bench}" && pwd)
answers=${2:-10}
if [ -z "${DISPLAY:-}" ] || [ -z "${TOVEMI_LATENCY_XVFB:-}" ]; then
    export TOVEMI_LATENCY_XVFB=1
    exec "$top/tests/app/with_xvfb.sh" "$0" "$build" "$answers"
fi
[ -f "$build/CMakeCache.txt" ] || cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target tovemi >/dev/null

work=$(mktemp -d)
export HOME="$work" XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config"
mkdir -m 700 "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME"
export PULSE_SERVER="unix:$XDG_RUNTIME_DIR/pulse/native"
pulseaudio --system=no --exit-idle-time=-1 -n --daemonize=no --use-pid-file=no \
    --log-target=file:"$work/pulse.log" \
    --load="module-native-protocol-unix auth-anonymous=1" \
    --load="module-null-sink sink_name=nullsink" &
pulse=$!
trap 'kill $pulse 2>/dev/null; wait $pulse 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
/usr/bin/python3 "$top/bench/sound_latency.py" "$build/app/tovemi" "$top/media/files" "$answers"
