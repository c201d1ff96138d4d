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
