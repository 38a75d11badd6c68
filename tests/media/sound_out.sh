#!/bin/bash
# The program's sounds through the real outputs, recorded:
#  1. a private PulseAudio server with a null sink, its monitor recorded: the chime alone, then
#     a pip cut off at once by the buzz; one playback stream all along;
#  2. that server killed and another started while the program runs: the next sound is heard;
#  3. no server, ALSA's default device a file (an asoundrc in HOME): the samples reach it;
#  4. no server and no sound card: silent, nothing reported.
# Needs pulseaudio, pulseaudio-utils (parec, pactl) and sox.
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
rate=44100

start_server() {
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
}
stop_server() {
    kill "$pulse_pid" 2>/dev/null
    wait "$pulse_pid" 2>/dev/null
    pulse_pid=
}
record() {
    parec -d nullsink.monitor --format=s16le --rate=$rate --channels=1 --latency-msec=20 \
        >"$1" 2>"$work/parec.log" &
    rec_pid=$!
    sleep 0.3
}
stop_recording() {
    sleep 0.3
    kill "$rec_pid" 2>/dev/null
    wait "$rec_pid" 2>/dev/null
    rec_pid=
}
# Seconds of sound in a raw recording of the given channels, silences cut out.
audible() {
    sox -t raw -r $rate -e signed-integer -b 16 -c "$2" "$1" -n \
        silence 1 0.02 1% -1 0.05 1% stat 2>&1 | awk '/^Length/ { print $3 }'
}
between() {
    awk -v a="${1:-0}" -v lo="$2" -v hi="$3" 'BEGIN { exit !(a >= lo && a <= hi) }'
}

echo "== 1: the chime, whole while スタート tries the sounds, then a pip cut off by the buzz"
start_server
record "$work/rec1.raw"
"$player" "$files" wait:300 play:maru1.wav check wait:1000 play:p.wav play:batu1.wav wait:1000 \
    >"$work/player.log" 2>&1 &
player_pid=$!
most=0
while kill -0 "$player_pid" 2>/dev/null; do
    n=$(pactl list short sink-inputs 2>/dev/null | wc -l)
    [ "$n" -gt "$most" ] && most=$n
    sleep 0.03
done
wait "$player_pid" || { cat "$work/player.log"; fail "the player reported a problem"; }
stop_recording
echo "most playback streams seen by the server: $most"
[ "$most" -eq 1 ] || fail "expected exactly one playback stream, saw $most"
# The chime and the buzz, 0.4 s each, and a little of the pip: a sound missing, one played
# twice, or the pip not cut off shows in the length.
a=$(audible "$work/rec1.raw" 1)
echo "audible: $a s"
between "$a" 0.6 1.2 || fail "expected about 0.8 s of sound, heard ${a:-none}"

echo "== 2: the server restarted while the program runs"
"$player" "$files" wait:300 play:maru1.wav wait:600 until:"$work/restarted" play:batu1.wav \
    wait:1000 >"$work/player.log" 2>&1 &
player_pid=$!
sleep 1
stop_server
start_server
record "$work/rec2.raw"
touch "$work/restarted"
wait "$player_pid" || { cat "$work/player.log"; fail "the player reported a problem"; }
stop_recording
a=$(audible "$work/rec2.raw" 1)
echo "audible after the restart: $a s"
between "$a" 0.3 0.6 || fail "expected the buzz after the restart, heard ${a:-none}"
stop_server

echo "== 3: no server; ALSA's default device is a file"
export PULSE_SERVER="unix:$work/no-server-here"
cat >"$HOME/.asoundrc" <<EOF2
pcm.!default { type file; slave.pcm "null"; file "$work/alsa.raw"; format "raw" }
EOF2
"$player" "$files" play:maru1.wav wait:1000 >"$work/player.log" 2>&1 \
    || { cat "$work/player.log"; fail "the player reported a problem"; }
[ -s "$work/alsa.raw" ] || fail "nothing reached ALSA's default device"
a=$(audible "$work/alsa.raw" 2)
echo "audible through ALSA: $a s"
between "$a" 0.3 0.6 || fail "expected the chime through ALSA, heard ${a:-none}"

echo "== 4: no server and no sound card"
cat >"$HOME/.asoundrc" <<EOF2
pcm.!default { type hw; card 63 }
EOF2
"$player" "$files" play:maru1.wav wait:300 play:batu1.wav wait:300 >"$work/player.log" 2>&1 \
    || { cat "$work/player.log"; fail "a sound that could not be played was reported"; }
echo "PASS"
