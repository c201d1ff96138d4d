#!/bin/bash
# The layer check: the source tree passes; includes that reach up a layer, or
# into the backends from outside the window layer, are each reported and fail
# the check, whether named bare, by a folder path or relative to the file.
set -u
check="${ZE_SOURCE_DIR:?}/scripts/check_layers.py"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fails=0
fail() { echo "FAIL: $*"; fails=$((fails + 1)); }

/usr/bin/python3 "$check" "$ZE_SOURCE_DIR" >"$tmp/out" || fail "the source tree: $(cat "$tmp/out")"

# A small tree: one header per layer, then files that include across.
t="$tmp/tree"
for d in core xbase graphics window window/platform window/platform/x11 controls markup; do
    mkdir -p "$t/toolkit/$d"
done
mkdir -p "$t/app" "$t/tests/core"
touch "$t/toolkit/core/zeevent.h" "$t/toolkit/xbase/zexbase.h" "$t/toolkit/graphics/zefont.h" \
      "$t/toolkit/window/zewindow.h" "$t/toolkit/window/platform/zeplatform.h" \
      "$t/toolkit/window/platform/x11/zex11.h" "$t/toolkit/controls/zeview.h" "$t/toolkit/markup/zepage.h"
printf '#include "zeevent.h"\n#include "zexbase.h"\n#include "zefont.h"\n' >"$t/toolkit/graphics/ok.cpp"
printf '#include "zeplatform.h"\n#include "../zeplatform.h"\n' >"$t/toolkit/window/platform/x11/ok.cpp"
printf '#include "zeplatform.h"\n#include "zewindow.h"\n' >"$t/tests/core/ok_test.cpp"
printf '#include "zeview.h"\n#include "zepage.h"\n' >"$t/app/ok.cpp"
/usr/bin/python3 "$check" "$t" >"$tmp/out" || fail "allowed includes reported: $(cat "$tmp/out")"

printf '#include "zeevent.h"\n#include "zefont.h"\n' >"$t/toolkit/core/up.cpp"
printf '// #include "zeview.h" in a comment is fine\n  #  include "zeview.h"\n' >"$t/toolkit/window/up.cpp"
printf '#include "platform/x11/zex11.h"\n' >"$t/toolkit/controls/private.cpp"
printf '#include "zeplatform.h"\n' >"$t/app/private.cpp"
printf '#include "../window/zewindow.h"\n' >"$t/toolkit/graphics/up.cpp"
printf '#include "zewindow.h"\n' >"$t/toolkit/xbase/up.h"
/usr/bin/python3 "$check" "$t" >"$tmp/out" && fail "wrong includes passed"
for want in "toolkit/core/up.cpp:2: zefont.h is in toolkit/graphics, above toolkit/core" \
            "toolkit/window/up.cpp:2: zeview.h is in toolkit/controls, above toolkit/window" \
            "toolkit/controls/private.cpp:1: platform/x11/zex11.h is private to the window layer" \
            "app/private.cpp:1: zeplatform.h is private to the window layer" \
            "toolkit/graphics/up.cpp:1: ../window/zewindow.h is in toolkit/window, above toolkit/graphics" \
            "toolkit/xbase/up.h:1: zewindow.h is in toolkit/window, above toolkit/xbase"; do
    grep -qxF "$want" "$tmp/out" || fail "not reported: $want"
done
[ "$(grep -c ': ' "$tmp/out")" = 7 ] || fail "reported more than the six: $(cat "$tmp/out")"

[ $fails = 0 ] && echo "check_layers: ok"
exit $((fails > 0))
