#!/bin/bash
# The installed program under Wine as a teacher starts it and a pupil uses it: started in its
# folder, as its Start-menu entry starts it, スタート clicked, a wrong answer and a right one
# typed and each heard on the null sink, おしまい clicked, exit code 0. Meanwhile the sound
# server never sees more than one stream from it, and none once it has been quiet a while.
# Run by test-windows.sh, which starts Xvfb, PulseAudio with a null sink and the Wine prefix.
#   smoke.sh <installed folder> <scratch folder> <screenshot on failure>
set -uo pipefail
folder=$1 work=$2 failed_shot=$3
rate=44100
pid= rec= watch=

stop() {
    for p in $rec $watch; do kill "$p" 2>/dev/null && wait "$p" 2>/dev/null; done
    rec= watch=
}
fail() {
    echo "FAIL: $*" >&2
    import -window root "$failed_shot" 2>/dev/null
    stop
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    exit 1
}

# The streams the program holds open on the server, the most seen kept in a file.
pactl list short sink-inputs >/dev/null || fail "no sound server"
echo 0 >"$work/streams-most"
(
    most=0
    while :; do
        n=$(pactl list short sink-inputs 2>/dev/null | wc -l)
        [ "$n" -gt "$most" ] && most=$n && echo "$most" >"$work/streams-most"
        sleep 0.05
    done
) &
watch=$!

(cd "$folder" && exec wine tovemi.exe) >"$work/program.log" 2>&1 &
pid=$!
wid=$(timeout 60 xdotool search --sync --onlyvisible --name '^Tovemi Ver 2\.00 R2$' | head -n 1)
[ -n "$wid" ] || fail "no window"
sleep 1
# The client area of the 624 × 462 layout inside whatever frame the window has.
eval "$(xdotool getwindowgeometry --shell "$wid")"
border=$(((WIDTH - 624) / 2))
left=$((X + border)) top=$((Y + HEIGHT - 462 - border))
click() { xdotool mousemove $((left + $1)) $((top + $2)) click 1; sleep 0.6; }

# Seconds of sound in a raw mono recording, silences cut out.
audible() {
    sox -t raw -r $rate -e signed-integer -b 16 -c 1 "$1" -n \
        silence 1 0.02 1% -1 0.05 1% stat 2>&1 | awk '/^Length/ { print $3 }'
}
# Types the keys, Enter, and records what the sink plays meanwhile into the file.
answer() {
    parec -d nullsink.monitor --format=s16le --rate=$rate --channels=1 --latency-msec=20 \
        >"$1" 2>/dev/null &
    rec=$!
    sleep 0.3
    xdotool type --delay 40 "$2"
    xdotool key Return
    sleep 1.2
    kill "$rec" 2>/dev/null
    wait "$rec" 2>/dev/null
    rec=
}
heard() {
    local a
    a=$(audible "$1")
    echo "$2: ${a:-0} s heard"
    awk -v a="${a:-0}" 'BEGIN { exit !(a >= 0.3 && a <= 0.6) }' || fail "$2: expected 0.4 s of sound, heard ${a:-none}"
}
# Kind 8 (割合←→百分率) asks for the base's ratio, always 1, or the base's percentage, always 100,
# in a third of its problems; any other box's answer would have to be read off the screen.
# The box asked is the one whose "？" is selected, in the selection's blue.
selected() {
    # Wine may take a moment to repaint after the click.
    sleep 0.5
    import -window root "$work/shot.png"
    convert "$work/shot.png" -crop "$3x$4+$((left + $1))+$((top + $2))" +repage \
        -fx '(b > 0.6 && r < 0.4) ? 1 : 0' -format '%[fx:int(mean*w*h)]' info:
}

click 318 55 # 割合←→百分率
# スタート until a problem asks for one of those: (2/3)^40 of runs would never see one.
right=
for _ in $(seq 40); do
    click 140 432 # スタート
    if [ "$(selected 136 256 177 41)" -gt 20 ]; then
        right=1
        break
    elif [ "$(selected 136 336 177 41)" -gt 20 ]; then
        right=100
        break
    fi
done
[ -n "$right" ] || fail "no problem asked for the base's ratio or percentage"
answer "$work/wrong.raw" 9999
heard "$work/wrong.raw" "a wrong answer"
answer "$work/right.raw" "$right"
heard "$work/right.raw" "a right answer"
# Quiet, the output lets its stream go.
sleep 3
open=$(pactl list short sink-inputs | wc -l)
most=$(cat "$work/streams-most")
echo "streams: at most $most at once, $open after a quiet spell"
[ "$most" -eq 1 ] || fail "expected one stream while sounding, saw $most"
[ "$open" -eq 0 ] || fail "the stream stayed open while quiet"

click 320 432 # おしまい
for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "still running after おしまい"
status=0
wait "$pid" || status=$?
pid=
stop
[ "$status" -eq 0 ] || fail "exit code $status"
echo "PASS: started from the Start menu, a wrong and a right answer heard, one stream, closed with 0"
