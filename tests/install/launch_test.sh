#!/bin/sh
# Starts the installed program the way a desktop starts it from its entry (in the entry's
# Path, by its Exec) on a private Xvfb server, and checks the window: it appears, the
# program works in the media folder, QT_SCALE_FACTOR=2 draws it at twice the size, and a
# folder without the media files does not keep it from starting.
# With TOVEMI_SCREENSHOT_DIR set, a screenshot of each start is left there.
set -eu
build=$1
. "$(dirname "$0")/common.sh"

prefix="$scratch/Program Files/usr"
cmake --install "$build" --prefix "$prefix" >"$scratch/install.log"
desktop="$prefix/share/applications/$id.desktop"
workdir=$(entry_value "$desktop" Path)
exec_line=$(entry_value "$desktop" Exec)
program=${exec_line#\"}
program=${program%\"}
wm_class=$(entry_value "$desktop" StartupWMClass)

fifo="$scratch/display"
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$fifo" 2>/dev/null &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; restore' EXIT
read -r display <"$fifo"
export DISPLAY=":$display"
title='^Tovemi Ver 2\.00 R2$'

# start <label> <folder> <scale>: leaves pid, wid, width and height set.
start() {
  (cd "$2" && QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$3 exec "$program") >"$scratch/$1.log" 2>&1 &
  pid=$!
  wid=$(timeout 30 xdotool search --sync --onlyvisible --name "$title" | head -n 1) || wid=
  width=0 height=0
  if [ -n "$wid" ]; then
    eval "$(xdotool getwindowgeometry --shell "$wid" | grep -E '^(WIDTH|HEIGHT)=')"
    width=$WIDTH height=$HEIGHT
    sleep 1 # let the first paint land before a screenshot
    if [ -n "${TOVEMI_SCREENSHOT_DIR:-}" ]; then
      import -window root "$TOVEMI_SCREENSHOT_DIR/tovemi-$1.png"
    fi
  fi
}
stop() {
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  # The next start must not find this window.
  timeout 10 sh -c 'while xdotool search --onlyvisible --name "$1" >/dev/null; do sleep 0.2; done' \
    sh "$title" || true
}

start plain "$workdir" 1
check "window appears when started from the desktop entry" test -n "$wid"
check "program runs in the entry's Path, the media folder" \
  test "$(readlink "/proc/$pid/cwd")" = "$workdir"
check "window class matches StartupWMClass=$wm_class" \
  sh -c 'xprop -id "$1" WM_CLASS | grep -q "\"$2\""' sh "$wid" "$wm_class"
plain_width=$width plain_height=$height
echo "window at scale 1: ${width}x$height"
stop

start scaled "$workdir" 2
echo "window at scale 2: ${width}x$height"
check "QT_SCALE_FACTOR=2 doubles the window's width" test "$width" -eq $((2 * plain_width))
check "QT_SCALE_FACTOR=2 doubles the window's height" test "$height" -eq $((2 * plain_height))
stop

mkdir "$scratch/empty"
start nomedia "$scratch/empty" 1
check "window appears in a folder without the media files" test -n "$wid"
sleep 2
check "program still running there" kill -0 "$pid"
stop
finish
