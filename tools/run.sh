#!/bin/sh
# Installs what is missing, builds Tovemi and opens it in the folder of its pictures and sounds.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/install-deps.sh"
cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DTOVEMI_BENCH=OFF
cmake --build "$top/build" --target tovemi
cd "$top/media/files"
exec "$top/build/app/tovemi"
