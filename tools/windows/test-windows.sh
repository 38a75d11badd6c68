#!/bin/bash
# Builds Tovemi for Windows on this Debian machine and tests it under Wine, on a private Xvfb
# and a private PulseAudio server with a null sink:
#   1. Qt and libsndfile for Windows (tools/windows/build-qt.sh; cached after the first run);
#   2. the program and the tests cross-built, then packaged (tools/windows/package.sh);
#   3. the rules' suites, one window test and the Windows devices' test, run under Wine;
#   4. the installer run silently into a fresh Wine prefix, the program started from its
#      Start-menu entry, スタート clicked, a wrong and a right answer typed, each heard on the
#      null sink through Wine's PulseAudio driver, and おしまい ending it with exit code 0.
# Each part's time is printed at the end.
#   tools/windows/test-windows.sh [--smoke-only]
# TOVEMI_WIN_BUILD sets the build folder (default build-windows in the repository).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${TOVEMI_WIN_BUILD:-$root/build-windows}
smoke_only=0
[ "${1:-}" = "--smoke-only" ] && smoke_only=1

timings=()
part_start=$EPOCHREALTIME
part_done() {
    local now=$EPOCHREALTIME
    timings+=("$(awk -v a="$part_start" -v b="$now" -v n="$1" 'BEGIN { printf "%-34s %8.1f s", n, b - a }')")
    part_start=$now
}
script_start=$EPOCHREALTIME
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# ---- 1. The libraries. ----
prefixes=$("$root/tools/windows/build-qt.sh") || fail "build-qt.sh failed (its messages are above)"
eval "$prefixes"
[ -n "${qt:-}" ] && [ -n "${sndfile:-}" ] || fail "build-qt.sh named no prefixes"
part_done "Qt and libsndfile (build-qt.sh)"

# ---- 2. The program, the tests and the package. ----
launcher=()
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR="$root"
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
PKG_CONFIG_LIBDIR="$sndfile/lib/pkgconfig" cmake -S "$root" -B "$build" -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_PREFIX_PATH="$qt;$sndfile" -DCMAKE_FIND_ROOT_PATH="$qt;$sndfile" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    "${launcher[@]}" -DCMAKE_CROSSCOMPILING_EMULATOR=wine >/dev/null
tests=(tst_problem_set tst_drill tst_number_text tst_problem_view tst_relation_diagram
    tst_worksheet_page tst_window_startup tst_windows_devices)
nice -n 19 cmake --build "$build" -j 2 --target tovemi bare_window "${tests[@]}"
part_done "cross-build (cmake --build)"
"$root/tools/windows/package.sh" "$build" "$qt" "$sndfile" "$build/dist" >"$build/packages.txt" ||
    fail "packaging"
setup=$(head -n 1 "$build/packages.txt")
part_done "package (DLLs, NSIS, zip)"

# ---- The private servers and Wine prefix. ----
. "$root/tools/windows/session.sh"
part_done "Xvfb, PulseAudio, Wine prefix"

# ---- 3. The suites under Wine. ----
if [ $smoke_only = 0 ]; then
    gcc_dir=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
    WINEPATH="$(winepath -w "$qt/bin");$(winepath -w "$sndfile/bin");$(winepath -w "$gcc_dir");$(winepath -w /usr/x86_64-w64-mingw32/lib)"
    export WINEPATH
    regex="^($(
        IFS='|'
        echo "${tests[*]}"
    ))\$"
    ctest --test-dir "$build" -R "$regex" --output-on-failure || fail "a suite failed under Wine"
    unset WINEPATH
    part_done "suites under Wine (ctest)"
fi

# ---- 4. The installed program, driven from outside. ----
wine "$setup" /S || fail "the installer failed"
folder="$WINEPREFIX/drive_c/Program Files/Tovemi"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tovemi.lnk"
[ -f "$folder/tovemi.exe" ] || fail "nothing installed in $folder"
[ -f "$shortcut" ] || fail "no Start-menu entry"
[ -f "$folder/uninstall.exe" ] || fail "no uninstaller"
# Explorer's properties show the version record's texts: "2.00.2" for 2.0.0.2.
IFS=. read -r major minor patch tweak < <(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
strings -e l "$folder/tovemi.exe" | grep -qx "$major.$minor$patch.$tweak" ||
    fail "tovemi.exe carries no version $major.$minor$patch.$tweak"
# The entry starts the program in its own folder, where its pictures and sounds are. (Wine
# starts a shortcut without waiting for the program, so the drill below starts it the same
# way itself, to see its exit code.)
strings -e l "$shortcut" | grep -xF 'C:\Program Files\Tovemi' >/dev/null ||
    fail "the Start-menu entry does not start the program in its folder"
part_done "silent install"
"$root/tools/windows/smoke.sh" "$folder" "$work" "$build/smoke-failed.png" ||
    fail "the drill under Wine (the screen then: $build/smoke-failed.png)"
part_done "smoke drill under Wine"

# Run in place (_?=), it keeps itself. Asking for an administrator, it may carry on in a process
# of its own after wine returns.
wine "$folder/uninstall.exe" /S _?="$(winepath -w "$folder")" || fail "the uninstaller failed"
for _ in $(seq 100); do
    leftover=$(find "$folder" -type f ! -name uninstall.exe 2>/dev/null | head -3 || true)
    [ -z "$leftover" ] && [ ! -e "$shortcut" ] && break
    sleep 0.2
done
[ -z "$leftover" ] || fail "the uninstaller left $leftover"
[ ! -e "$shortcut" ] || fail "the uninstaller left the Start-menu entry"
part_done "silent uninstall"

echo
printf '%s\n' "${timings[@]}"
awk -v a="$script_start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%-34s %8.1f s\n", "whole script", b - a }'
echo "installer: $(stat -c %s "$setup") bytes ($setup)"
echo "PASS"
