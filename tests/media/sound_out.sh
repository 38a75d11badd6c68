#!/bin/sh
# Plays the program's sounds into a private PulseAudio server with a null sink, records the
# sink's monitor and checks that the recording is not silent and that the program never had
# two playback streams at once. A server that cannot be started is a failure: the test needs
# pulseaudio, pulseaudio-utils (parec, pactl) and sox.
#   sound_out.sh <tst_sound_out_player> <folder of the sound files>
set -u
player=$1
files=$2

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
for tool in pulseaudio parec pactl sox; do
    command -v "$tool" >/dev/null 2>&1 || fail "$tool is not installed"
done

work=$(mktemp -d) || fail "no temporary directory"
pulse_pid=
rec_pid=
cleanup() {
    [ -n "$rec_pid" ] && kill "$rec_pid" 2>/dev/null && wait "$rec_pid" 2>/dev/null
    [ -n "$pulse_pid" ] && kill "$pulse_pid" 2>/dev/null && wait "$pulse_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

# Everything the server and its clients keep goes into the temporary folder.
export HOME="$work"
export XDG_RUNTIME_DIR="$work/run"
export XDG_CONFIG_HOME="$work/config"
mkdir -m 700 "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME"
export PULSE_SERVER="unix:$XDG_RUNTIME_DIR/pulse/native"
unset PULSE_SINK PULSE_SOURCE

pulseaudio --system=no --exit-idle-time=-1 -n --daemonize=no --use-pid-file=no \
    --log-target=file:"$work/pulse.log" \
    --load="module-native-protocol-unix auth-anonymous=1" \
    --load="module-null-sink sink_name=nullsink norewinds=1" &
pulse_pid=$!

tries=0
until pactl info >/dev/null 2>&1; do
    tries=$((tries + 1))
    if [ "$tries" -gt 100 ] || ! kill -0 "$pulse_pid" 2>/dev/null; then
        cat "$work/pulse.log" >&2 2>/dev/null
        fail "the PulseAudio server did not start"
    fi
    sleep 0.1
done
pactl list short sinks | grep -q nullsink || fail "no null sink"

rate=44100
parec -d nullsink.monitor --format=s16le --rate=$rate --channels=1 --latency-msec=20 \
    >"$work/rec.raw" 2>"$work/parec.log" &
rec_pid=$!
sleep 0.3

QT_QPA_PLATFORM=offscreen "$player" "$files" >"$work/player.log" 2>&1 &
player_pid=$!
# Sample the server's playback streams while the sounds play.
most=0
while kill -0 "$player_pid" 2>/dev/null; do
    n=$(pactl list short sink-inputs 2>/dev/null | wc -l)
    [ "$n" -gt "$most" ] && most=$n
    sleep 0.03
done
wait "$player_pid"
player_status=$?
sleep 0.3
kill "$rec_pid" 2>/dev/null
wait "$rec_pid" 2>/dev/null
rec_pid=

cat "$work/player.log"
[ "$player_status" -eq 0 ] || fail "the player reported a problem (exit $player_status)"
echo "most playback streams seen by the server: $most"
[ "$most" -eq 1 ] || fail "expected exactly one playback stream at a time, saw $most"

bytes=$(wc -c <"$work/rec.raw")
echo "recorded: $bytes bytes"
[ "$bytes" -gt $((rate * 2)) ] || fail "recorded less than a second"
stats=$(sox -t raw -r $rate -e signed-integer -b 16 -c 1 "$work/rec.raw" -n stat 2>&1)
echo "$stats" | grep -E "Length|Maximum amplitude|RMS +amplitude"
peak=$(echo "$stats" | awk '/^Maximum amplitude/ { print $3 }')
rms=$(echo "$stats" | awk '/^RMS +amplitude/ { print $3 }')
[ -n "$peak" ] && [ -n "$rms" ] || fail "sox gave no statistics"
# The sounds peak at 0.45 to 0.8 of full scale; silence, or near it, means nothing played.
awk -v p="$peak" -v r="$rms" 'BEGIN { exit !(p >= 0.2 && r >= 0.01) }' \
    || fail "the recording is silent (peak $peak, RMS $rms)"
# With the silences cut out, what is left is the chime and the buzz, 0.4 s each, and a little
# of the pip: a sound missing, or one played twice, shows in the length.
audible=$(sox -t raw -r $rate -e signed-integer -b 16 -c 1 "$work/rec.raw" -n \
    silence 1 0.02 1% -1 0.05 1% stat 2>&1 | awk '/^Length/ { print $3 }')
echo "audible: $audible s"
awk -v a="${audible:-0}" 'BEGIN { exit !(a >= 0.6 && a <= 1.2) }' \
    || fail "expected about 0.8 s of sound (the chime and the buzz), heard ${audible:-none}"
echo "PASS"
