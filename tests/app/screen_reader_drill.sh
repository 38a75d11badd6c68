#!/bin/sh
# The inside of screen_reader.sh, on its D-Bus session: Orca, the program, a short drill by
# keys, and what Orca said, checked line by line.
set -eu
program=$1 work=$2 log=$3
/usr/libexec/at-spi-bus-launcher --launch-immediately &
bus=$!
# A sound server, as on a pupil's desktop, so the chimes play where they would.
pulseaudio --system=no --exit-idle-time=-1 -n --daemonize=no --log-target=file:"$work/pulse.log" \
    --load="module-native-protocol-unix auth-anonymous=1" --load="module-null-sink" &
pulse=$!
# No braille display here: Orca would wait on the braille line of a Japanese label. Its debug
# log goes to a terminal of its own, which it writes line by line (a plain file it fills in
# blocks of 8 KB, so that what it said shows up long after); script(1) keeps that as the log.
script -qfc "/usr/bin/orca --disable braille --disable braille-monitor --replace --debug-file=/dev/tty" \
    "$log" >/dev/null 2>&1 &
orca=$!
cd "$work"
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" 2>"$work/stderr.txt" &
pid=$!
trap 'kill $pid $orca $bus $pulse 2>/dev/null || true' EXIT
fail() {
    echo "FAIL: $*"
    timeout 20 /usr/bin/python3 -c '
import pyatspi
app = [a for a in pyatspi.Registry.getDesktop(0) if a.name == "Tovemi"][0]
def walk(o):
    if o.getState().contains(pyatspi.STATE_FOCUSED): print("focused now:", o.name, o.getRoleName())
    for i in range(o.childCount): walk(o[i])
walk(app)' || true
    grep -a 'SPEECH OUTPUT' "$log" | tail -n 12
    cat "$work/stderr.txt"
    exit 1
}
wid=$(xdotool search --sync --onlyvisible --name '^Tovemi Ver 2\.00 R2$' | head -n 1)
[ -n "$wid" ] || fail "no window"
for _ in $(seq 100); do
    grep -q "SPEECH: Initialized" "$log" 2>/dev/null && break
    sleep 0.2
done
xdotool windowfocus --sync "$wid"
sleep 2

said() { grep -a 'SPEECH OUTPUT' "$log" | sed "s/^.*SPEECH OUTPUT: '//; s/'[^']*$//"; }
mark=0
# One key, then what Orca says after it must hold each pattern, waited for before the next key
# as a pupil who listens waits. The program hands each key to the accessibility registry, which
# asks Orca whether it wants it; now and then that question goes unanswered, and Qt delivers the
# key only when it gives up waiting, about 25 s later, so each key is given 45 s.
press() {
    key=$1
    shift
    xdotool key "$key"
    for _ in $(seq 180); do
        heard=$(said | tail -n +"$((mark + 1))")
        missing=""
        for pattern in "$@"; do
            printf '%s\n' "$heard" | grep -q -- "$pattern" || missing=$pattern
        done
        [ -z "$missing" ] && break
        sleep 0.25
    done
    [ -z "$missing" ] || fail "$key: Orca did not say /$missing/"
    sleep 0.7
    heard=$(said | tail -n +"$((mark + 1))")
    mark=$(said | wc -l)
}
typed() {
    for digit in $(printf '%s' "$1" | sed 's/./& /g'); do
        [ "$digit" = . ] && press period "" || press "$digit" "$digit"
    done
}
# The answer, worked out from the question as a pupil who hears it does.
answer() {
    printf '%s\n' "$1" | grep 'は？' | tail -n 1 | /usr/bin/python3 -c '
import re, sys
q = sys.stdin.read()
base = float(re.search(r"もとにする量 ([0-9.]+)", q).group(1))
compared = float(re.search(r"くらべられる量 ([0-9.]+)", q).group(1))
print("1" if "もとにする量の割合は？" in q else "%g" % round(compared / base, 2))'
}
tabsToButton2() { printf '%s\n' "$heard" | grep -q 'もとにする量の割合は？' && echo 9 || echo 6; }

# 出題数 3: three Shift+Tabs from the first box reach it; the input box comes by Space.
press shift+Tab "問題を印刷します"
press shift+Tab "図で考える"
press shift+Tab "出題数"
press space "何問やりますか"
press ctrl+a ""
press 3 "3"
press Return "もとにする量の割合"
for name in もとにする量の％ くらべられる量 くらべられる量の割合 くらべられる量の％ 割 分 厘 スタート; do
    press Tab "$name"
done
echo "ok: Tab and Shift+Tab name each control"
press Return "の割合は？"
printf '%s\n' "$heard" | grep -q "くらべられる量 [0-9]" || fail "スタート: the known amounts were not said"
echo "ok: スタート says which box asks and what is known"
typed 0
press Return "ちがうよ！"
echo "ok: a wrong answer"
typed "$(answer "$heard")"
press Return "せいかいです" "の割合は？"
echo "ok: a right answer, then the next problem"
for _ in $(seq "$(tabsToButton2)"); do
    press Tab ""
done
printf '%s\n' "$heard" | grep -q "せいかいを見る" || fail "Tab did not reach せいかいを見る"
press Return "の割合は [0-9]"
echo "ok: the revealed answer"
press Return "の割合は？"
question=$heard
# The amounts are read in the order they stand on the line, the smaller first; at a ratio of 1
# they stand at one point, named once as both.
press F1 "もとにする量 \(＝ くらべられる量 \)\?[0-9]" "くらべられる量 [0-9]"
echo "ok: F1 says the diagram"
typed "$(answer "$question")"
press Return "せいかいです" "おしまいです。[0-9]*点でした。"
echo "ok: the drill's end says the score"
echo "PASS: a drill heard through Orca"
