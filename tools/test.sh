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

# The browser build's Debian 13 root, made once on a machine, is mostly downloading: it is made
# while the first build compiles, and waited for before the first suite, whose timings it must
# not disturb. Only where no password can be asked for; otherwise the browser part makes it.
web_root=""
web_root_log=$(mktemp)
if [ "$(id -u)" -eq 0 ] || sudo -n true 2>/dev/null; then
  "$top/tools/web/make-root.sh" >"$web_root_log" 2>&1 &
  web_root=$!
fi

cmake -S "$top" -B "$top/build-test" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$top/build-test" -j "$jobs"
if [ -n "$web_root" ] && ! wait "$web_root"; then
  # The browser part tries again and stops there with the reason.
  echo "Making the Debian 13 root failed; the browser part tries again:" >&2
  tail -n 20 "$web_root_log" >&2
fi
rm -f "$web_root_log"
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
