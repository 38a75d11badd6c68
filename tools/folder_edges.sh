#!/bin/sh
# Lists which source folder includes which (folder -> folder, from the `#include "x/..."`
# lines) and fails on any edge that is not one of the allowed ones below: the window on
# everything, pictures and sounds on the platform, the platform on the worksheet page, and the
# pure rules on the drill alone. Dependencies point one way.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
folders="app media print display drill devices"
allowed="app -> devices
app -> display
app -> drill
app -> media
app -> print
devices -> drill
devices -> print
display -> drill
media -> devices
media -> drill
print -> display
print -> drill"

cd "$top"
edges=$(for from in $folders; do
    grep -ho '^#include "[a-z_]*/' "$from"/*.h "$from"/*.cpp 2>/dev/null \
        | sed 's/^#include "\(.*\)\/$/\1/' | grep -vx "$from" | sed "s|^|$from -> |" || true
done | sort -u)
printf '%s\n' "$edges"
unexpected=$(printf '%s\n' "$edges" | grep -vxF "$allowed" || true)
if [ -n "$unexpected" ]; then
    printf '%s\n' "$unexpected" | sed 's/^/not allowed: /' >&2
    exit 1
fi
