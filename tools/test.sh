#!/bin/sh
# Installs what is missing, builds Tovemi and runs every test: the suite, the same suite
# under AddressSanitizer and UndefinedBehaviorSanitizer, the sound output's test under
# ThreadSanitizer, a short run of each fuzzer, and the Windows release built, installed and
# tested under Wine (the first run on a machine also builds Qt for Windows, once), and the
# browser build: its core suites under node and a smoke drill in chromium (the first run also
# makes a Debian 13 root and builds Qt for WebAssembly in it, once).
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/install-deps.sh" --test
jobs=$(nproc)

cmake -S "$top" -B "$top/build-test" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$top/build-test" -j "$jobs"
ctest --test-dir "$top/build-test" --output-on-failure -j 2

cmake -S "$top" -B "$top/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTOVEMI_SANITIZE=ON \
      -DTOVEMI_BENCH=OFF
cmake --build "$top/build-asan" -j "$jobs"
ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" \
LSAN_OPTIONS="suppressions=$top/tests/sanitizer.supp:print_suppressions=0" \
UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
  ctest --test-dir "$top/build-asan" --output-on-failure -j 2

# The sound output's threads (the window's, libpulse's, the card's and a long sound's decoder)
# under ThreadSanitizer: only the sound output's test, in a build of its own. Qt Test's own
# watchdog thread synchronises through Qt's futex-based mutex, which ThreadSanitizer cannot see,
# so the Qt Test suites are not run here.
cmake -S "$top" -B "$top/build-tsan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOVEMI_TSAN=ON \
      -DTOVEMI_BENCH=OFF
cmake --build "$top/build-tsan" -j "$jobs" --target tst_sound_out_player
TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$top/tests/tsan.supp" \
  ctest --test-dir "$top/build-tsan" --output-on-failure -R '^tst_sound_out$'

if [ -x "$top/fuzz/run.sh" ]; then
  "$top/fuzz/run.sh" "${TOVEMI_FUZZ_SECONDS:-60}"
fi

"$top/tools/windows/test-windows.sh"

"$top/tools/web/test-web.sh"
