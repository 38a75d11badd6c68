#!/bin/bash
# Builds Tovemi for the browser, in the Debian 13 root with Qt for WebAssembly (made and
# cached on first use by make-root.sh and build-qt.sh), and leaves the site a teacher copies
# in build-web/site. With --test, also runs the core suites under node.
#   tools/web/build.sh [--test]
set -euo pipefail
shopt -s inherit_errexit
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
. "$here/common.sh"
qtinfo=$("$here/build-qt.sh")
root=$(sed -n 's/^root=//p' <<<"$qtinfo")
qt=$(sed -n 's/^qt=//p' <<<"$qtinfo")
[ -n "$root" ] && [ -n "$qt" ] || exit 1
# A build folder made with another Qt (its flags changed, so its key) would go on using it:
# CMake keeps the first toolchain it was given.
cache_file=$top/build-web/cmake/CMakeCache.txt
if [ -f "$cache_file" ] && ! grep -q "^Qt6_DIR:PATH=$qt/" "$cache_file"; then
    log "the Qt for WebAssembly changed: building afresh"
    rm -rf "$top/build-web/cmake"
fi

# A Debian patch keeps a static Qt's plugins out of a program unless asked for: the wasm
# platform plugin is one of them.
in_root "$root" "$top" env EMSDK=/opt/emsdk sh -eu -c '
    qt=$1 jobs=$2
    cmake -S /src -B /src/build-web/cmake -G Ninja -Wno-dev \
        -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
        -DCMAKE_BUILD_TYPE=MinSizeRel -DQT_SKIP_AUTO_PLUGIN_INCLUSION=OFF -DTOVEMI_BENCH=OFF \
        -DTOVEMI_WEB_SITE_DIR=/src/build-web/site >&2
    nice -n 10 cmake --build /src/build-web/cmake -j "$jobs" >&2' sh "$qt" "$jobs"
if [ "${1:-}" = --test ]; then
    in_root "$root" "$top" ctest --test-dir /src/build-web/cmake --output-on-failure -j "$jobs" >&2
fi
echo "site=$top/build-web/site"
