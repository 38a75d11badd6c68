#!/bin/bash
# Cross-builds, for 64-bit Windows, the libraries that Tovemi links: Qt (Core, Gui, Widgets,
# PrintSupport, Test) and libsndfile, both from Debian's own source packages with Debian's
# MinGW-w64 compiler. Each lands in a cache folder named by a key that hashes the source
# version, the compiler's version and the configure flags, so only the first run on a machine
# (or after one of them changes) pays for the build.
#
# Prints two lines, "qt=<prefix>" and "sndfile=<prefix>", the folders to hand to CMake.
#   tools/windows/build-qt.sh [--qt-only|--sndfile-only]
# TOVEMI_WIN_CACHE overrides the cache root (default: $XDG_CACHE_HOME/tovemi or ~/.cache/tovemi).
# TOVEMI_WIN_JOBS sets the build's parallel jobs (default 2).
set -euo pipefail
# A failed build inside $(...) must stop the script too.
shopt -s inherit_errexit
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
toolchain="$root/cmake/mingw-w64.cmake"
cache=${TOVEMI_WIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tovemi}
jobs=${TOVEMI_WIN_JOBS:-2}
want_qt=1 want_sndfile=1
case "${1:-}" in
--qt-only) want_sndfile=0 ;;
--sndfile-only) want_qt=0 ;;
"") ;;
*)
    echo "usage: $0 [--qt-only|--sndfile-only]" >&2
    exit 2
    ;;
esac

log() { echo "build-qt: $*" >&2; }

# apt-get source needs a deb-src entry for the archive the machine already installs from.
ensure_deb_src() {
    if apt-get indextargets --format '$(IDENTIFIER)' 2>/dev/null | grep -qx Sources; then
        return
    fi
    local list=/etc/apt/sources.list.d/tovemi-src.sources
    local uris='' suites=''
    # The archive is named in the deb822 file or, as the installer and debootstrap leave a
    # Debian 12 machine, in a one-line sources.list (its options in brackets skipped).
    local deb822=/etc/apt/sources.list.d/debian.sources
    if [ -f "$deb822" ]; then
        uris=$(sed -n 's/^URIs:[[:space:]]*//p' "$deb822" | head -1)
        suites=$(sed -n 's/^Suites:[[:space:]]*//p' "$deb822" | head -1)
    fi
    if [ -z "$uris" ] && [ -f /etc/apt/sources.list ]; then
        read -r uris suites _ < <(sed -n 's/^deb[[:space:]]\+\(\[[^]]*\][[:space:]]\+\)\?//p' \
            /etc/apt/sources.list | head -1) || true
    fi
    if [ -z "$uris" ]; then
        log "no Debian archive found in /etc/apt/sources.list or $deb822: add a deb-src entry"
        exit 1
    fi
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    log "adding deb-src for $uris $suites"
    printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: main\nSigned-By: %s\n' \
        "$uris" "$suites" /usr/share/keyrings/debian-archive-keyring.gpg |
        "${sudo[@]}" tee "$list" >/dev/null
    "${sudo[@]}" apt-get update -q >&2
}

source_version() { apt-cache showsrc "$1" | sed -n 's/^Version: //p' | sort -V | tail -1; }

compiler_id() { x86_64-w64-mingw32-g++-posix --version | head -1; }

key_of() { printf '%s\n' "$@" | sha256sum | cut -c1-12; }

# Unpacks a Debian source package (without its build dependencies) into a fresh folder.
fetch_source() {
    local pkg=$1 dest=$2
    rm -rf "$dest"
    mkdir -p "$dest"
    (cd "$dest" && apt-get source -q "$pkg" >/dev/null)
    find "$dest" -mindepth 1 -maxdepth 1 -type d | head -1
}

qt_flags=(
    -DCMAKE_BUILD_TYPE=Release
    -DBUILD_SHARED_LIBS=ON
    -DQT_HOST_PATH=/usr
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DQT_BUILD_EXAMPLES=OFF
    -DQT_BUILD_TESTS=OFF
    # "no" rather than the opengl feature alone: that would leave Windows's dynamic OpenGL on,
    # and the platform plugin does not build with it and without OpenGL.
    -DINPUT_opengl=no
    -DFEATURE_opengl=OFF
    -DFEATURE_sql=OFF
    -DFEATURE_network=OFF
    -DFEATURE_dbus=OFF
    # Modules and plugins the program never loads: the cold test command's time is mostly this
    # build. (Qt 6.4 has no unity build.)
    -DFEATURE_concurrent=OFF
    -DFEATURE_xml=OFF
    -DFEATURE_jpeg=OFF
    -DFEATURE_gif=OFF
    -DFEATURE_ico=OFF
    -DFEATURE_textodfwriter=OFF
    -DFEATURE_textmarkdownreader=OFF
    -DFEATURE_textmarkdownwriter=OFF
    -DFEATURE_printpreviewwidget=OFF
    -DFEATURE_printpreviewdialog=OFF
    # Windows draws its text with its own font engines; FreeType is only an alternative there.
    -DFEATURE_freetype=OFF
    # Japanese, digits and signs need no shaping: their glyphs come straight from the font's
    # character map. HarfBuzz was a tenth of this build.
    -DFEATURE_harfbuzz=OFF
    -DFEATURE_testlib=ON
    -DFEATURE_printsupport=ON
    # Debian's source package leaves out the Wintab headers.
    -DFEATURE_tabletevent=OFF
    # Direct2D stays (PrintSupport needs it to link); only its 1.1 paint engine goes.
    -DFEATURE_direct2d=ON
    -DFEATURE_direct2d1_1=OFF
    -DFEATURE_system_zlib=OFF
    -DFEATURE_system_png=OFF
    -DFEATURE_system_jpeg=OFF
    -DFEATURE_system_freetype=OFF
    -DFEATURE_system_pcre2=OFF
    -DFEATURE_system_doubleconversion=OFF
    -DFEATURE_system_md4c=OFF
)

sndfile_flags=(
    -DCMAKE_BUILD_TYPE=Release
    -DBUILD_SHARED_LIBS=ON
    -DENABLE_EXTERNAL_LIBS=OFF
    -DENABLE_MPEG=OFF
    -DBUILD_PROGRAMS=OFF
    -DBUILD_EXAMPLES=OFF
    -DBUILD_TESTING=OFF
    -DENABLE_CPACK=OFF
    -DINSTALL_MANPAGES=OFF
    -DINSTALL_PKGCONFIG_MODULE=ON
    # The DLL's usual name, libsndfile-1.dll, rather than sndfile.dll.
    -DENABLE_COMPATIBLE_LIBSNDFILE_NAME=ON
)

# Builds one package with CMake and Ninja into <cache>/<name>-<key>, unless it is already there.
# A build that fails leaves no prefix behind, so the next run starts afresh.
build_one() {
    local pkg=$1 name=$2
    shift 2
    local version key prefix work src
    version=$(source_version "$pkg")
    [ -n "$version" ] || {
        log "no source package $pkg"
        exit 1
    }
    key=$(key_of "$pkg $version" "$(compiler_id)" "$@" "$(sha256sum <"$toolchain")")
    prefix="$cache/$name-$key"
    if [ -f "$prefix/.complete" ]; then
        echo "$prefix"
        return
    fi
    work="$cache/work-$name-$key"
    log "building $pkg $version into $prefix"
    src=$(fetch_source "$pkg" "$work/src")
    rm -rf "$prefix"
    # Through ccache where there is one, with paths taken relative to the work folder, so that
    # a build under a new key compiles again only what the change touched.
    local launcher=()
    if command -v ccache >/dev/null; then
        export CCACHE_BASEDIR="$work"
        launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    fi
    cmake -S "$src" -B "$work/build" -G Ninja -Wno-dev "${launcher[@]}" \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" "$@" >&2 ||
        exit 1
    nice -n 19 cmake --build "$work/build" -j "$jobs" >&2 || exit 1
    cmake --install "$work/build" >&2 || exit 1
    printf '%s\n' "$pkg $version" "$(compiler_id)" "$@" >"$prefix/.complete"
    rm -rf "$work"
    echo "$prefix"
}

command -v x86_64-w64-mingw32-g++-posix >/dev/null || {
    log "the MinGW-w64 compiler is missing: tools/install-deps.sh --test installs it"
    exit 1
}
mkdir -p "$cache"
ensure_deb_src
if [ $want_qt = 1 ]; then
    echo "qt=$(build_one qt6-base qt-mingw "${qt_flags[@]}")"
fi
if [ $want_sndfile = 1 ]; then
    echo "sndfile=$(build_one libsndfile sndfile-mingw "${sndfile_flags[@]}")"
fi
