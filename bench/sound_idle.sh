#!/bin/bash
# What the program's sound costs while idle and how soon it sounds again (bench/sound_idle.py
# does the measuring), on a private Xvfb and a private PulseAudio server with a null sink that
# suspends after one idle second. Needs pulseaudio, pulseaudio-utils, xvfb and python3-xlib.
# usage: bench/sound_idle.sh [build-dir] [idle seconds measured] [answers]
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build-bench}" && pwd)
idle=${2:-10}
answers=${3:-10}
if [ -z "${DISPLAY:-}" ] || [ -z "${TOVEMI_IDLE_XVFB:-}" ]; then
    export TOVEMI_IDLE_XVFB=1
    exec "$top/tests/app/with_xvfb.sh" "$0" "$build" "$idle" "$answers"
fi
if [ -f "$build/CMakeCache.txt" ]; then
    cmake --build "$build" --target tovemi >/dev/null
fi

work=$(mktemp -d)
export HOME="$work" XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config"
mkdir -m 700 "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME"
export PULSE_SERVER="unix:$XDG_RUNTIME_DIR/pulse/native"
# pacmd, which kills the program's stream, wants the server's pid file and its command socket.
pulseaudio --system=no --exit-idle-time=-1 -n --daemonize=no \
    --log-target=file:"$work/pulse.log" \
    --load="module-native-protocol-unix auth-anonymous=1" --load=module-cli-protocol-unix \
    --load="module-null-sink sink_name=nullsink" \
    --load="module-suspend-on-idle timeout=1" &
pulse=$!
trap 'kill $pulse 2>/dev/null; wait $pulse 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
/usr/bin/python3 "$top/bench/sound_idle.py" "$build/app/tovemi" "$top/media/files" "$pulse" \
    "$idle" "$answers"
