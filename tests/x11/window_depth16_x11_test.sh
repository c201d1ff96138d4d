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
pid=""
cpid=""
. "${ZE_SOURCE_DIR:?}/tests/x11/private_xvfb.sh"
cleanup() {
    for p in $cpid $pid; do kill -9 "$p" 2>/dev/null; done
    private_xvfb_stop KILL
    rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; echo "--- output"; cat "$tmp/out.txt" 2>/dev/null; dump_stacks "$pid" "zeko demo scroll"; exit 1; }

private_xvfb_start "$tmp" 1024x768x16 || fail "no private X server"

"$zeko" demo scroll >"$tmp/out.txt" 2>&1 &
pid=$!
win=""
demo_ready() {
    kill -0 "$pid" 2>/dev/null || return 125
    win=$(xdotool search --name "zeko scroll demo" 2>/dev/null | head -1)
    [ -n "$win" ] && grep -q "demo ready" "$tmp/out.txt" 2>/dev/null
}
wait_for "the demo's window and its \"demo ready\" line" demo_ready
case $? in 1) fail "no window";; 125) fail "the demo ended at start";; esac
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
got=$(/usr/bin/python3 "$ZE_SOURCE_DIR/tests/x11/ppm_pixel.py" "$tmp/shot.ppm" 60 60 ff8080 8) ||
    fail "box 1 has the wrong colour on a 16-bit screen (pixel $got)"
echo "pixel $got"
# Still answering: a click on the first box is reported.
xdotool mousemove 60 60 click 1
wait_for "the click on box 1 to be reported" grep -q "box 1" "$tmp/out.txt" ||
    fail "no answer to a click after the exposures"
echo "ok"
