#!/bin/bash
# The program's sounds through the real outputs, recorded:
#  1. a private PulseAudio server with a null sink, its monitor recorded: the chime alone, then
#     a pip cut off at once by the buzz, then a sound of 4 s (longer than what is kept decoded:
#     the rest is decoded as it plays) cut off after 2.5 s, the chime, and the long sound again,
#     the program closed 0.2 s into it; one playback stream all along;
#  2. that server killed and another started while the program runs: the next sound is heard;
#  3. the program's stream taken away by the server, the connection kept (the stream killed; its
#     sink unloaded and loaded again): the next sound is heard;
#  4. the server stopped while a sound waits for it, then continued: that sound, late by then,
#     is dropped, and the next one is heard;
#  5. silence: the stream sleeps and the sink suspends; a key (connectOutput) wakes it for the sound;
#  6. no server, ALSA's default device a file (an asoundrc in HOME): the samples reach it;
#  7. no server and no sound card: silent, nothing reported;
#  8. no server, ALSA's device stalled (a FIFO that nobody reads): closing still ends at once.
#  9. no server for the program, ALSA's default device a client of the private server: the card
#     is let go after the quiet spell, taken again at a key (connect), and the sound is heard.
# Needs pulseaudio, pulseaudio-utils (parec, pactl, pacmd) and sox.
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
mkdir "$work/media" && cp "$files"/*.wav "$work/media" || fail "cannot copy the sounds"
files=$work/media
export PULSE_SERVER="unix:$XDG_RUNTIME_DIR/pulse/native"
unset PULSE_SINK PULSE_SOURCE
rate=44100

# pacmd, which kills a stream (pactl cannot), needs the server's pid file and command socket.
start_server() {
    pulseaudio --system=no --exit-idle-time=-1 -n --daemonize=no \
        --log-target=file:"$work/pulse.log" \
        --load="module-native-protocol-unix auth-anonymous=1" --load=module-cli-protocol-unix \
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
# Waits up to 15 s for the player to have played the sound named.
played() {
    for _ in $(seq 300); do
        grep -q "^$1 played" "$work/player.log" && return 0
        sleep 0.05
    done
    return 1
}
# Waits up to 10 s for the program's stream; prints its index.
stream_id() {
    for _ in $(seq 200); do
        id=$(pactl list short sink-inputs 2>/dev/null | awk 'NR == 1 { print $1 }')
        [ -n "$id" ] && echo "$id" && return 0
        sleep 0.05
    done
    return 1
}
sink_state() {
    pactl list short sinks 2>/dev/null | awk -F '\t' '$2 == "nullsink" { print $5 }'
}

echo "== 1: the chime, whole while スタート tries the sounds, then a pip cut off by the buzz, then a long sound cut off"
start_server
sox -n -r $rate -c 1 "$files/long.wav" synth 4 sine 440 vol 0.5 || fail "sox made no sound"
record "$work/rec1.raw"
"$player" "$files" wait:300 play:maru1.wav check wait:1000 play:p.wav play:batu1.wav wait:1000 \
    play:long.wav wait:2500 play:maru1.wav wait:1000 play:long.wav wait:200 \
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
# The chime and the buzz, 0.4 s each, a little of the pip, 2.5 s of the long sound, the chime
# and 0.2 s of the long sound: a sound missing, one played twice, or one not cut off shows in
# the length, and so does a long sound that stops where its kept start ends. (A busy machine
# leaves gaps of a few hundredths of a second in a stream that is kept 10 ms ahead.)
a=$(audible "$work/rec1.raw" 1)
echo "audible: $a s"
between "$a" 3.4 4.4 || fail "expected about 3.9 s of sound, heard ${a:-none}"

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

echo "== 3: the stream taken away, the connection kept"
for how in killed unplugged; do
    "$player" "$files" wait:300 play:maru1.wav wait:300 until:"$work/taken-$how" \
        play:batu1.wav wait:1000 >"$work/player.log" 2>&1 &
    player_pid=$!
    played maru1.wav && id=$(stream_id) || fail "no stream to take away"
    if [ "$how" = killed ]; then
        pacmd kill-sink-input "$id" || fail "could not kill the stream"
    else
        pactl unload-module module-null-sink
        pactl load-module module-null-sink sink_name=nullsink norewinds=1 >/dev/null
    fi
    record "$work/rec3.raw"
    touch "$work/taken-$how"
    wait "$player_pid" || { cat "$work/player.log"; fail "the player reported a problem"; }
    stop_recording
    a=$(audible "$work/rec3.raw" 1)
    echo "audible after the stream was $how: $a s"
    between "$a" 0.3 0.6 || fail "expected the buzz after the stream was $how, heard ${a:-none}"
done

echo "== 4: the server stopped while a sound waits for it"
record "$work/rec4.raw"
"$player" "$files" wait:300 play:maru1.wav until:"$work/stopped" play:batu1.wav \
    until:"$work/continued" wait:500 play:maru1.wav wait:1000 >"$work/player.log" 2>&1 &
player_pid=$!
played maru1.wav || fail "the chime was not played"
sleep 0.6
kill -STOP "$pulse_pid"
touch "$work/stopped"
sleep 1.2
kill -CONT "$pulse_pid"
touch "$work/continued"
wait "$player_pid" || { cat "$work/player.log"; fail "the player reported a problem"; }
stop_recording
# The two chimes, without the buzz played late between them: one chime alone is 0.4 s, the
# three sounds 1.2 s; on a busy machine the recorder may miss the first chime's onset.
a=$(audible "$work/rec4.raw" 1)
echo "audible: $a s"
between "$a" 0.5 1.0 || fail "expected the two chimes alone, heard ${a:-none}"

echo "== 5: silence lets the sink suspend; a key wakes the stream"
pactl load-module module-suspend-on-idle timeout=1 >/dev/null
"$player" "$files" wait:300 play:maru1.wav until:"$work/suspended" connect wait:300 \
    play:batu1.wav wait:1000 >"$work/player.log" 2>&1 &
player_pid=$!
# The stream corks after 1.5 s of silence and the sink suspends a second later; a program
# under ThreadSanitizer on a busy machine takes its time to start.
for _ in $(seq 200); do
    [ "$(sink_state)" = SUSPENDED ] && break
    sleep 0.1
done
state=$(sink_state)
echo "the sink while the program is silent: $state"
record "$work/rec5.raw"
touch "$work/suspended"
wait "$player_pid" || { cat "$work/player.log"; fail "the player reported a problem"; }
stop_recording
[ "$state" = SUSPENDED ] || fail "the sink never suspended while the program was silent"
a=$(audible "$work/rec5.raw" 1)
echo "audible after waking: $a s"
between "$a" 0.3 0.6 || fail "expected the buzz after waking, heard ${a:-none}"
stop_server

echo "== 6: no server; ALSA's default device is a file"
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

echo "== 7: no server and no sound card"
cat >"$HOME/.asoundrc" <<EOF2
pcm.!default { type hw; card 63 }
EOF2
"$player" "$files" play:maru1.wav wait:300 play:batu1.wav wait:300 >"$work/player.log" 2>&1 \
    || { cat "$work/player.log"; fail "a sound that could not be played was reported"; }

echo "== 8: no server; ALSA's device stalled"
mkfifo "$work/stalled"
exec 3<>"$work/stalled" # held open for reading, never read: the writes block once it is full
cat >"$HOME/.asoundrc" <<EOF2
pcm.!default { type file; slave.pcm "null"; file "$work/stalled"; format "raw" }
EOF2
timeout 10 "$player" "$files" play:maru1.wav wait:500 >"$work/player.log" 2>&1
code=$?
exec 3<&-
[ "$code" -ne 124 ] || fail "closing waited on the stalled device"
[ "$code" -eq 0 ] || { cat "$work/player.log"; fail "the player ended with $code"; }
echo "== 9: no server; the card let go after a quiet spell and taken again at a key"
export PULSE_SERVER="unix:$XDG_RUNTIME_DIR/pulse/native"
start_server
# The program finds no server of its own; ALSA's default device is the server's client, so the
# server lists the card's stream while the program holds the card.
cat >"$HOME/.asoundrc" <<EOF2
pcm.!default { type pulse; server "unix:$XDG_RUNTIME_DIR/pulse/native" }
EOF2
PULSE_SERVER="unix:$work/no-server-here" "$player" "$files" play:maru1.wav \
    until:"$work/let-go" connect until:"$work/taken" play:batu1.wav wait:1000 \
    >"$work/player.log" 2>&1 &
player_pid=$!
played maru1.wav && stream_id >/dev/null || fail "the chime never reached the card"
# The quiet spell is 1.5 s; a busy machine may be late by a second.
for _ in $(seq 60); do
    [ -z "$(pactl list short sink-inputs)" ] && break
    sleep 0.05
done
[ -z "$(pactl list short sink-inputs)" ] || fail "the card was still held 3 s after the chime"
touch "$work/let-go"
stream_id >/dev/null || fail "a key did not take the card again"
record "$work/rec9.raw"
touch "$work/taken"
wait "$player_pid" || { cat "$work/player.log"; fail "the player reported a problem"; }
stop_recording
a=$(audible "$work/rec9.raw" 1)
echo "audible after the key: $a s"
between "$a" 0.3 0.6 || fail "expected the buzz after the key, heard ${a:-none}"
stop_server

echo "PASS"
