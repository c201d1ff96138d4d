#!/bin/sh
# Installs what is missing, builds, and runs every test.
set -e
cd "$(dirname "$0")/.."
# Includes that cross the layers fail before anything is built.
/usr/bin/python3 scripts/check_layers.py
sh scripts/build.sh
cd build
ctest --output-on-failure -j2 "$@"
cd ..
# The tests that run the timer thread against the main thread, once more under
# ThreadSanitizer (their own build folder; only these targets are built).
TSAN_TESTS="sevenseg_thread_test timer_table_test"
cmake -S . -B build-tsan -G Ninja -DZE_TSAN=ON >/dev/null
cmake --build build-tsan --target $TSAN_TESTS sevensegdata
cd build-tsan
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  ctest --output-on-failure -R "$(echo $TSAN_TESTS | sed 's/ /|/g')"

cd ..
# The whole headless suite once more with AddressSanitizer and
# UndefinedBehaviorSanitizer (their own build folder, everything built;
# undefined behaviour ends the run at its first report).
cmake -S . -B build-asan -G Ninja -DZE_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# Generators run at build time leave fontconfig's own caches allocated at exit.
ASAN_OPTIONS=detect_leaks=0 cmake --build build-asan
cd build-asan
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" ZEXBASE_FUZZ_ROUNDS=600
ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:verify_asan_link_order=0" ctest --output-on-failure -j2 -L headless
# The tables also for leaks, with more fuzz rounds.
ASAN_OPTIONS="detect_leaks=1" ctest --output-on-failure -R '^xbase[.]zexbase_'
