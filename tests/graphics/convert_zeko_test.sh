#!/bin/bash
# zeko convert: file names are taken literally (commas and blanks included),
# every writable type comes back with the same pixels, bad input fails cleanly.
set -u
zeko="$ZE_TOOLS_DIR/zeko"
dir="$ZE_BUILD_DIR/test-output/convert"
rm -rf "$dir"
mkdir -p "$dir"
fail=0
src="$ZE_SOURCE_DIR/tests/fuzz/seeds/bmp/rgb5x3.bmp"
cp "$src" "$dir/a, b.bmp"
for ext in bmp pcx ppm xpm png; do
    "$zeko" convert "$dir/a, b.bmp" "$dir/c,d $ext.$ext" || { echo "FAIL: write $ext"; fail=1; }
    [ -s "$dir/c,d $ext.$ext" ] || { echo "FAIL: no $ext file"; fail=1; }
done
for ext in bmp pcx ppm xpm; do
    "$zeko" convert "$dir/c,d $ext.$ext" "$dir/back $ext.bmp" || { echo "FAIL: read $ext"; fail=1; }
    cmp -s "$dir/back $ext.bmp" "$dir/c,d bmp.bmp" || { echo "FAIL: $ext round trip changed pixels"; fail=1; }
done
"$zeko" convert "$dir/missing.bmp" "$dir/x.bmp" 2>/dev/null && { echo "FAIL: a missing file converted"; fail=1; }
"$zeko" convert "$dir/a, b.bmp" "$dir/x.gif" 2>/dev/null && { echo "FAIL: an unknown type written"; fail=1; }
head -c 40 "$src" > "$dir/short.bmp"
"$zeko" convert "$dir/short.bmp" "$dir/y.bmp" 2>/dev/null && { echo "FAIL: a truncated file converted"; fail=1; }
[ -e "$dir/y.bmp" ] && { echo "FAIL: a failed conversion left a file"; fail=1; }
exit $fail
