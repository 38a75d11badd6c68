#!/bin/sh
# Runs a command on a private Xvfb server: some tests need a real X server (held keys that
# auto-repeat, a real window to look at). The server is stopped by its pid at the end.
set -eu
fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" 2>/dev/null &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; rm -f "$fifo"' EXIT INT TERM
read -r display <"$fifo"
export DISPLAY=":$display"
export QT_QPA_PLATFORM=xcb
"$@"
