#!/bin/bash
# zeko font info and render on the builtin fonts and sets.
set -u
zeko="$ZE_TOOLS_DIR/zeko"
out="$ZE_BUILD_DIR/test-output/fonts"
mkdir -p "$out"
fail=0
check() {   # expected actual what
    if [ "$1" != "$2" ]; then echo "FAIL $3: expected '$1', got '$2'"; fail=1; fi
}
check "height=13 ascent=11 descent=2 width=30" "$("$zeko" font info "builtin 6x13" hello)" "6x13 hello"
check "height=13 ascent=11 descent=2 width=30" "$("$zeko" font info 6x13bold world)" "6x13bold"
check "height=14 ascent=11 descent=3 width=0" "$("$zeko" font info Arial14)" "Arial14"
check "height=71 ascent=53 descent=18 width=88" "$("$zeko" font info crnew72 ab)" "crnew72"
"$zeko" font info nosuchfont >/dev/null 2>&1 && { echo "FAIL: an unknown font was accepted"; fail=1; }

"$zeko" font render Arial24 "Hello, zeko" "$out/zeko_arial24.png" || { echo "FAIL: render"; fail=1; }
# The picture is the text's box plus a 4-pixel margin, with black ink on white.
size=$(/usr/bin/python3 - "$out/zeko_arial24.png" <<'PY'
import sys
from PIL import Image
im = Image.open(sys.argv[1]).convert("RGB")
px = im.load()
black = sum(1 for y in range(im.height) for x in range(im.width) if px[x, y] == (0, 0, 0))
margin = all(px[x, y] == (255, 255, 255) for y in range(im.height) for x in range(im.width)
             if x < 4 or y < 4 or x >= im.width - 4 or y >= im.height - 4)
print(im.height, "ink" if black > 50 else "blank", "margin" if margin else "inked-margin")
PY
)
check "32 ink margin" "$size" "rendered picture"
exit $fail
