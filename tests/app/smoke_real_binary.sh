#!/bin/sh
# The real program on a real X server, as a pupil meets it: it starts in a folder with its
# media, shows its window, takes Start and a held Enter with its sounds and pictures, and
# ends with exit code 0 on おしまい.
# usage (under with_xvfb.sh): smoke_real_binary.sh <tovemi> <media folder> <screenshot.png>
set -eu
program=$1 media=$2 shot=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$media"/* "$work"/
cd "$work"
"$program" 2>"$work/stderr.txt" &
pid=$!
fail() { echo "FAIL: $*"; kill "$pid" 2>/dev/null; cat "$work/stderr.txt"; exit 1; }

wid=$(xdotool search --sync --onlyvisible --name '^Tovemi Ver 2\.00 R2$' | head -n 1)
[ -n "$wid" ] || fail "no window"
sleep 0.5
import -window root "$shot"
# A drawn window has many colours; a blank screen has one.
colours=$(convert "$shot" -format '%k' info:)
[ "$colours" -gt 20 ] || fail "screenshot looks blank ($colours colours)"

xdotool windowfocus --sync "$wid"
xdotool mousemove --window "$wid" 140 432 click 1        # スタート
sleep 0.3
xdotool type --delay 30 9999
xdotool key Return                                       # a wrong answer: picture and sound
sleep 0.5
# A picture or sound it could not use is reported in a box.
# Looked for before the held Enter, whose repeats would press the box's OK.
if report=$(xdotool search --onlyvisible --name '^Tovemi$'); then
    fail "the program reported a problem (window $report)"
fi
xdotool keydown Return sleep 1.0 keyup Return            # a held Enter, judged once
sleep 0.3
kill -0 "$pid" 2>/dev/null || fail "the program ended during the drill"
xdotool mousemove --window "$wid" 320 432 click 1        # おしまい
for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "still running after おしまい"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "exit code $status"
echo "PASS: window shown ($colours colours), drill started, a wrong answer judged without a report, held Enter taken, closed with 0"
