#!/bin/sh
# The real program on a real X server, driven by keys alone as a pupil without a mouse drives
# it: a whole drill of kind 1 and one of kind 9 (the length set in the input box, a print
# answered by keys, a reveal and 次に進む, the score), a held Enter on a button, a held Shift in
# the 厘 box, and a teacher's reprint of two pages. What the window shows is read back from
# screenshots, as a pupil reads it: which box has the focus frame, which colour the status
# line is; the printed file is read with poppler's tools.
# usage (under with_xvfb.sh): keyboard_real_binary.sh <tovemi> <media folder>
set -eu
program=$1 media=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/run" "$work/home/Documents"
cp "$media"/* "$work/run/"
cd "$work/run"
# No printer queue here: the print dialog offers a PDF file in the home's Documents folder.
pdf="$work/home/Documents/問題プリント.pdf"
HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" LC_ALL=C.UTF-8 "$program" 2>"$work/stderr.txt" &
pid=$!
fail() { echo "FAIL: $*"; kill "$pid" 2>/dev/null; cat "$work/stderr.txt"; exit 1; }

wid=$(xdotool search --sync --onlyvisible --name '^Tovemi Ver 2\.00 R2$' | head -n 1)
[ -n "$wid" ] || fail "no window"
eval "$(xdotool getwindowgeometry --shell "$wid")"
left=$X top=$Y
xdotool windowfocus --sync "$wid"
sleep 0.5

keys() { xdotool key --delay 60 "$@"; sleep 0.4; }
# A box is looked for by its title before its keys are typed: keys typed before it shows
# would go to the window it blocks.
box() {
    timeout 10 xdotool search --sync --onlyvisible --name "^$1\$" >/dev/null || fail "no box $1"
    sleep 0.3
}
shot() { import -window root "$work/$1.png"; }
# Pixels of one colour in a rectangle of the window (x y w h in the layout's pixels).
count() {
    convert "$work/$1.png" -crop "$4x$5+$((left + $2))+$((top + $3))" +repage txt:- |
        grep -ciE "$6" || true
}
# Pixels that differ between two screenshots in a rectangle of the window.
changed() {
    for s in "$1" "$2"; do
        convert "$work/$s.png" -crop "$5x$6+$((left + $3))+$((top + $4))" +repage "$work/crop-$s.png"
    done
    compare -metric AE "$work/crop-$1.png" "$work/crop-$2.png" null: 2>&1 || true
}
# The layout's rectangles: the status line, the counter of the problem, Button2, two answer
# boxes of kind 1 and the three buai boxes.
statusLine="112 96 473 32" problemNo="32 264 57 23" button2="192 416 89 33"
edit2="136 256 177 41" edit5="384 248 185 41"
edit11="360 384 65 32" edit12="456 384 49 32" edit13="528 384 49 32"
# Fusion's focus frame, and the selection in a focused box.
focusFrame='#26709E|#308CC6'
focused() { shot focus; [ "$(count focus "$@" "$focusFrame")" -gt 20 ]; }
# From the answer box of a kind 1 problem to Button2: the box is the base's ratio or the
# compared one's, whichever the problem hides.
tabsToButton2() {
    if focused $edit2; then echo 9
    elif focused $edit5; then echo 6
    else fail "the answer box has no focus"
    fi
}
scoreShown() { shot score; [ "$(count score $statusLine '#FF0000')" -gt 100 ]; }
pages() { pdfinfo "$pdf" | sed -n 's/^Pages: *//p'; }

# ---- Kind 1: the choice is already made; three problems; a print; a drill by reveals. ----
keys $(printf 'Tab %.0s' $(seq 13)) space             # Edit1 → … → 出題数: the input box
box 問題数を決めます
keys ctrl+a 3 Return
focused $edit2 || fail "the focus did not come back to the answer box after the input box"
keys shift+Tab shift+Tab Return                       # the printer button: Yes? at once
box 警告
keys Return                                           # はい: the print dialog
box 印刷
keys Return                                           # 印刷
[ "$(pages)" = 2 ] || fail "a print of 3 problems made $(pages) pages, not 2"
keys $(printf 'shift+Tab %.0s' $(seq 5)) Return       # back to スタート
keys 9 9 9 9 Return                                   # a wrong answer, judged
keys $(printf 'Tab %.0s' $(seq "$(tabsToButton2)"))
shot before
xdotool keydown Return sleep 1.5 keyup Return         # せいかいを見る, held: one press
sleep 0.4
shot after
[ "$(changed before after $button2)" -gt 50 ] || fail "a held Enter did not reveal"
[ "$(changed before after $problemNo)" -eq 0 ] || fail "a held Enter pressed the button again"
keys Return                                           # 次に進む: problem 2
keys $(printf 'Tab %.0s' $(seq "$(tabsToButton2)")) Return Return
keys $(printf 'Tab %.0s' $(seq "$(tabsToButton2)")) Return    # the last reveal ends the drill
scoreShown || fail "kind 1: no score after the last problem"

# ---- Kind 9: by the arrows; the print only explains; a held Shift; a drill by reveals. ----
keys Tab Tab                                          # 次に進む → おしまい → the kind
keys $(printf 'Down %.0s' $(seq 8))                   # 割合→歩合
keys Tab Tab Tab Return                               # 出題数 → 図で考える → the printer button
box 情報
keys Return                                           # OK: the explanation, nothing printed
keys $(printf 'shift+Tab %.0s' $(seq 6)) Return       # スタート: the focus in 割
keys 1 Return 2 Return                                # 割, 分: on to 厘
focused $edit13 || fail "Enter did not lead to the 厘 box"
xdotool keydown shift sleep 2.0 keyup shift           # over two repeats of the desktop's pace
sleep 0.4
shot held
keys 5
shot typed
[ "$(changed held typed $edit11)" -gt 30 ] || fail "a held Shift in 厘 did not end in 割"
[ "$(changed held typed $edit12)" -eq 0 ] && [ "$(changed held typed $edit13)" -eq 0 ] ||
    fail "a held Shift in 厘 left the focus short of 割"
for _ in 1 2; do
    keys Tab Tab Tab Tab Return                       # 分, 厘, スタート, せいかいを見る
    keys Return                                       # 次に進む
done
keys Tab Tab Tab Tab Return                           # the last reveal ends the drill
scoreShown || fail "kind 9: no score after the last problem"
[ "$(pages)" = 2 ] || fail "the explanation's OK printed"

# ---- A teacher reprints pages 2 and 3 of a set of 25 problems of kind 1. ----
mv "$pdf" "$work/first.pdf"                           # else the dialog asks to overwrite it
keys Tab Tab $(printf 'Up %.0s' $(seq 8))             # 量→割合
keys Tab space                                        # 出題数 off: back to 100
keys shift+Tab shift+Tab shift+Tab shift+Tab space    # the answer box, back to 出題数: on
box 問題数を決めます
keys ctrl+a 2 5 Return
keys shift+Tab shift+Tab Return                       # the printer button
box 警告
keys Return                                           # はい
box 印刷
keys alt+o Tab Tab Tab Tab Tab Down Tab ctrl+a 2 Tab ctrl+a 3 Return
[ "$(pages)" = 2 ] || fail "pages 2-3 of 25 problems made $(pages) pages, not 2"
rows() { pdftotext -f "$1" -l "$1" -layout "$pdf" - | grep -cE '^[0-9.]+ +[0-9.]+ +[0-9.]+ *$' || true; }
[ "$(rows 1)" = 10 ] && [ "$(rows 2)" = 5 ] || fail "pages 2-3 hold $(rows 1) and $(rows 2) rows, not 10 and 5"

keys shift+Tab shift+Tab shift+Tab shift+Tab Return  # おしまい
for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "still running after おしまい"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "exit code $status"
echo "PASS: two whole drills by keys, a held Enter pressing once, a held Shift from 厘 to 割, a reprint of pages 2-3"
