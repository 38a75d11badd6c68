#!/bin/sh
# The inside of screen_reader.sh, on its D-Bus session: Orca, the program, a short drill by
# keys, and what Orca said, checked line by line.
set -eu
[ -n "${TOVEMI_TRACE:-}" ] && set -x
program=$1 work=$2 log=$3
/usr/libexec/at-spi-bus-launcher --launch-immediately &
bus=$!
# No braille display here; Orca waits on the braille line of a Japanese label without one.
orca --disable braille --disable braille-monitor --replace --debug-file="$log" >"$work/orca.out" 2>&1 &
orca=$!
cd "$work"
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" 2>"$work/stderr.txt" &
pid=$!
trap 'kill $pid $orca $bus 2>/dev/null || true' EXIT
fail() { echo "FAIL: $*"; grep -a 'SPEECH OUTPUT' "$log" | tail -n 30; cat "$work/stderr.txt"; exit 1; }
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
# Keys one at a time, each after Orca has had time to say the last, as a pupil who listens
# types (Orca stalls on keys that come while it is still busy with a focus change); then what
# Orca said since the last step must hold each pattern.
quiet() {
    last=-1
    for _ in $(seq 40); do
        now=$(wc -c <"$log")
        [ "$now" -eq "$last" ] && return
        last=$now
        sleep 0.5
    done
}
keys() {
    for k in "$@"; do
        quiet
        xdotool key "$k"
    done
    quiet
}
step() {
    what=$1
    shift
    for _ in $(seq 60); do
        heard=$(said | tail -n +"$((mark + 1))")
        missing=""
        for pattern in "$@"; do
            printf '%s\n' "$heard" | grep -q -- "$pattern" || missing=$pattern
        done
        [ -z "$missing" ] && break
        sleep 0.25
    done
    [ -z "$missing" ] || fail "$what: Orca did not say /$missing/"
    sleep 1
    heard=$(said | tail -n +"$((mark + 1))")
    mark=$(said | wc -l)
    echo "ok: $what"
}
# The answer, worked out from the question as a pupil who hears it does.
answer() {
    printf '%s\n' "$heard" | grep 'は？' | tail -n 1 | python3 -c '
import re, sys
q = sys.stdin.read()
base = float(re.search(r"もとにする量 ([0-9.]+)", q).group(1))
compared = float(re.search(r"くらべられる量 ([0-9.]+)", q).group(1))
print("1" if "もとにする量の割合は？" in q else "%g" % round(compared / base, 2))'
}
tabsToButton2() { printf '%s\n' "$heard" | grep -q 'もとにする量の割合は？' && echo 9 || echo 6; }

# 出題数 3: three Shift+Tabs from the first box reach it; the input box comes by Space.
keys shift+Tab shift+Tab shift+Tab
step "Shift+Tab names each control" "出題数 check box"
keys space
keys ctrl+a 3 Return
keys Tab Tab Tab Tab Tab Tab Tab Tab
step "Tab names each control" "くらべられる量の割合" "割" "スタート"
keys Return
step "スタート says which box asks and what is known" "くらべられる量 [0-9]" "の割合は？"
keys 0 Return
step "a wrong answer" "ちがうよ！"
keys $(answer | sed 's/\./ period /g; s/\([0-9]\)/\1 /g') Return
step "a right answer, then the next problem" "せいかいです" "の割合は？"
keys $(for _ in $(seq "$(tabsToButton2)"); do echo Tab; done)
step "Tab to せいかいを見る" "せいかいを見る"
keys Return
step "the revealed answer" "の割合は [0-9]"
keys Return
step "次に進む, then the next problem" "の割合は？"
keys F1
step "F1 says the diagram" "割合 ＝"
keys $(answer | sed 's/\./ period /g; s/\([0-9]\)/\1 /g') Return
step "the drill's end says the score" "せいかいです" "おしまいです。[0-9]*点でした。"
echo "PASS: a drill heard through Orca"
