#!/bin/bash
# A 16-bit screen (pixels converted one by one instead of shown as they are):
# the demo window, made larger than its pixmap by another client, has parts
# beyond the pixmap exposed by a window that goes away. The program must
# keep running and still answer. Runs on an X server of its own without a
# window manager, so the resize is not refused.
set -u
zeko="${ZE_TOOLS_DIR:?}/zeko"
[ -x "$zeko" ] || { echo "FAIL: no $zeko"; exit 1; }
tmp=$(mktemp -d)
xpid=""
pid=""
cpid=""
cleanup() {
    for p in $cpid $pid $xpid; do kill -9 "$p" 2>/dev/null; done
    rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; echo "--- output"; cat "$tmp/out.txt" 2>/dev/null; exit 1; }

Xvfb -displayfd 3 -screen 0 1024x768x16 -nolisten tcp 3>"$tmp/display" >"$tmp/xvfb.log" 2>&1 &
xpid=$!
for _ in $(seq 100); do [ -s "$tmp/display" ] && break; sleep 0.05; done
[ -s "$tmp/display" ] || fail "no private X server"
export DISPLAY=":$(cat "$tmp/display")"

"$zeko" demo scroll >"$tmp/out.txt" 2>&1 &
pid=$!
win=""
for _ in $(seq 100); do
    win=$(xdotool search --name "zeko scroll demo" 2>/dev/null | head -1)
    [ -n "$win" ] && grep -q "demo ready" "$tmp/out.txt" 2>/dev/null && break
    kill -0 "$pid" 2>/dev/null || fail "the demo ended at start"
    sleep 0.1
done
[ -n "$win" ] || fail "no window"
xdotool windowmove "$win" 0 0 windowsize "$win" 900 700
sleep 0.3
# A window over the part beyond the pixmap (400 x 300), then gone: that part
# is exposed on its own.
for round in 1 2 3; do
    xclock -geometry 120x120+600+450 >/dev/null 2>&1 &
    cpid=$!
    sleep 0.5
    kill "$cpid"
    wait "$cpid" 2>/dev/null
    cpid=""
    sleep 0.3
    kill -0 "$pid" 2>/dev/null || fail "the demo died after an exposure beyond its pixmap (round $round)"
done
# The colours arrive converted: box 1 is 0xFF8080, which 5-6-5 bits keep
# within a few steps.
import -window root "ppm:$tmp/shot.ppm" || fail "no screenshot"
/usr/bin/python3 - "$tmp/shot.ppm" 60 60 <<'PY' || fail "box 1 has the wrong colour on a 16-bit screen"
import sys
data = open(sys.argv[1], 'rb').read()
fields, pos = [], 0
while len(fields) < 4:
    while data[pos:pos + 1].isspace(): pos += 1
    if data[pos:pos + 1] == b'#':
        pos = data.index(b'\n', pos)
        continue
    start = pos
    while not data[pos:pos + 1].isspace(): pos += 1
    fields.append(data[start:pos])
pos += 1
w, maxval = int(fields[1]), int(fields[3])
x, y = int(sys.argv[2]), int(sys.argv[3])
bpp = 3 if maxval < 256 else 6
off = pos + (y * w + x) * bpp
px = data[off:off + bpp]
if bpp == 6: px = px[0:1] + px[2:3] + px[4:5]
want = (0xFF, 0x80, 0x80)
print('pixel %02x%02x%02x' % tuple(px))
sys.exit(0 if all(abs(a - b) <= 8 for a, b in zip(px, want)) else 1)
PY
# Still answering: a click on the first box is reported.
xdotool mousemove 60 60 click 1
for _ in $(seq 50); do
    grep -q "box 1" "$tmp/out.txt" && break
    sleep 0.1
done
grep -q "box 1" "$tmp/out.txt" || fail "no answer to a click after the exposures"
echo "ok"
