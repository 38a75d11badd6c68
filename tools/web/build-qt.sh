#!/bin/bash
# Builds Qt for WebAssembly (Core, Gui, Widgets, Test; static, single-threaded) from Debian 13's
# own qt6-base source with Debian's emscripten, inside the root that make-root.sh makes. The
# host tools are the root's Qt 6.8 of the same version. Qt lands in <cache>/qt-wasm-<key>, the
# key hashing the source version, emscripten's version and the flags, so only the first run on
# a machine pays for the build.
#
# Prints "root=<folder>" and "qt=<prefix as seen inside the root>".
# TOVEMI_WEB_CACHE overrides the cache root; TOVEMI_WEB_JOBS the build's parallel jobs (2).
set -euo pipefail
shopt -s inherit_errexit
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"
root=$("$here/make-root.sh" | sed -n 's/^root=//p')
[ -n "$root" ] || exit 1

# Only what the program and its tests link. The rest of qtbase's modules go, and with them the
# image plugins it never reads (its pictures are BMP, read by Qt Gui itself). OpenGL stays: the
# wasm platform's backing store is drawn through it. Japanese, digits and signs need no
# shaping, and HarfBuzz's first shaping of a face cost the first frame a tenth of a second.
qt_flags=(
    -platform wasm-emscripten -qt-host-path /usr -release -static
    -nomake examples -nomake tests -unity-build
    -no-feature-sql -no-feature-network -no-feature-xml -no-feature-concurrent
    -no-feature-dbus -no-feature-printsupport
    -no-feature-jpeg -no-feature-gif -no-feature-ico
    -no-feature-textodfwriter -no-feature-textmarkdownreader -no-feature-textmarkdownwriter
    --
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DQT_BUILD_BENCHMARKS=OFF
    -DFEATURE_harfbuzz=OFF
)

# Qt's configure finds emscripten through an emsdk folder: a stand-in whose .emscripten names
# Debian's emscripten, which lives in /usr/share/emscripten.
in_root "$root" "$here" sh -eu -c '
    mkdir -p /opt/emsdk/upstream
    ln -sfn /usr/share/emscripten /opt/emsdk/upstream/emscripten
    echo "EMSCRIPTEN_ROOT = '\''upstream/emscripten'\''" >/opt/emsdk/.emscripten'

version=$(in_root "$root" "$here" apt-cache showsrc qt6-base | sed -n 's/^Version: //p' |
    sort -V | tail -1)
emver=$(in_root "$root" "$here" emcc --version | head -1)
key=$(key_of "qt6-base $version" "$emver" "${qt_flags[@]}")
name="qt-wasm-$key"
echo "root=$root"
if [ -f "$cache/$name/.complete" ]; then
    echo "qt=/cache/$name"
    exit 0
fi
log "building Qt $version for WebAssembly into $cache/$name"
"${sudo_cmd[@]}" rm -rf "$cache/work-$name" "$cache/$name"
mkdir -p "$cache/work-$name/src"
in_root "$root" "$here" sh -eu -c 'cd "$1" && apt-get source -q qt6-base >/dev/null 2>&1' \
    sh "/cache/work-$name/src" >&2
src=$(cd "$cache/work-$name/src" && find . -mindepth 1 -maxdepth 1 -type d | head -1)
in_root "$root" "$here" env EMSDK=/opt/emsdk sh -eu -c '
    work=$1 src=$2 prefix=$3 jobs=$4
    shift 4
    mkdir -p "$work/build"
    cd "$work/build"
    "$work/src/$src/configure" -prefix "$prefix" "$@"
    nice -n 19 cmake --build . --parallel "$jobs"
    cmake --install .' sh "/cache/work-$name" "$src" "/cache/$name" "$jobs" "${qt_flags[@]}" >&2
printf '%s\n' "qt6-base $version" "$emver" "${qt_flags[@]}" >"$cache/$name/.complete"
"${sudo_cmd[@]}" rm -rf "$cache/work-$name"
echo "qt=/cache/$name"
