#!/bin/sh
# Lists which source folder includes which (folder -> folder, from the `#include "x/..."`
# lines) and fails if the folders include each other in a loop: dependencies point one way.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
folders="app media print display drill devices"

cd "$top"
edges=$(for from in $folders; do
    grep -ho '^#include "[a-z_]*/' "$from"/*.h "$from"/*.cpp 2>/dev/null \
        | sed 's/^#include "\(.*\)\/$/\1/' | grep -vx "$from" | sed "s|^|$from |" || true
done | sort -u)
printf '%s\n' "$edges" | sed 's/ / -> /'
# tsort names the folders of any loop on its standard error and fails.
printf '%s\n' "$edges" | tsort >/dev/null
