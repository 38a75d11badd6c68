# Sourced by the Windows test and benchmark scripts: a private Xvfb, a private PulseAudio
# server with a null sink (nullsink, its monitor nullsink.monitor), and a fresh Wine prefix
# that plays through Wine's PulseAudio driver, all in a scratch folder ($work) that goes at
# exit, with everything started here. Defines fail() if the script has none.
declare -F fail >/dev/null || fail() {
    echo "FAIL: $*" >&2
    exit 1
}
work=$(mktemp -d)
session_pids=()
session_end() {
    [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
    for pid in "${session_pids[@]}"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
    rm -rf "$work"
}
trap session_end EXIT
trap 'exit 1' INT TERM HUP

mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
session_pids+=($!)
read -r display <"$work/display"
export DISPLAY=":$display"

export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/home/.config"
mkdir -p "$HOME" "$XDG_CONFIG_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export PULSE_SERVER="unix:$XDG_RUNTIME_DIR/pulse/native"
unset PULSE_SINK PULSE_SOURCE
pulseaudio --system=no --exit-idle-time=-1 -n --daemonize=no --use-pid-file=no \
    --log-target=file:"$work/pulse.log" \
    --load="module-native-protocol-unix auth-anonymous=1" \
    --load="module-null-sink sink_name=nullsink norewinds=1" &
session_pids+=($!)
for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl list short sinks | grep nullsink >/dev/null || fail "no PulseAudio null sink"

# As a teacher's Windows is: no Mono or Gecko asked for; sound through Wine's PulseAudio driver.
export WINEPREFIX="$work/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d pulse /f >/dev/null 2>&1
# Wine passes no QT_ variable on to a program: Qt Test is told through the prefix's own
# environment to write to the standard streams, not to the debugger's log.
wine reg add 'HKCU\Environment' /v QT_FORCE_STDERR_LOGGING /d 1 /f >/dev/null 2>&1
wineserver -w
# One server for all the runs that follow, instead of one started for each.
wineserver -p
