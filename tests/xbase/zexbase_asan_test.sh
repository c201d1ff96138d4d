#!/bin/bash
# The table tests and the fuzz test again, built on their own with
# AddressSanitizer and UndefinedBehaviorSanitizer: a read or write past a
# buffer on a corrupted table stops the run.
set -eu
src="$ZE_SOURCE_DIR"
out="$ZE_BUILD_DIR/zexbase_asan"
mkdir -p "$out"
bin="$out/zexbase_asan_tests"
if [ ! -x "$bin" ] || [ -n "$(find "$src/toolkit/xbase" "$src/tests/xbase" -newer "$bin" -name '*.[ch]*' | head -1)" ]; then
  "${CXX:-c++}" -std=c++20 -g -O1 -fsanitize=address,undefined -fno-sanitize-recover=all \
    -I"$src/toolkit/xbase" "$src/toolkit/xbase/zexbase.cpp" \
    "$src/tests/xbase/zexbase_test.cpp" "$src/tests/xbase/zexbase_fuzz_test.cpp" \
    -lgtest -lgtest_main -pthread -o "$bin"
fi
ZEXBASE_FUZZ_ROUNDS=600 ASAN_OPTIONS=detect_leaks=1 "$bin" --gtest_brief=1
