#!/bin/bash
# "zeko demo scroll" on a real X server: the wheel, the thumb, the track and
# the arrow scroll the view, clicks reach the box under the pointer, Tab and
# Shift+Tab follow the registration order past the "nofocus" box, and the
# pixels read back from the screen show the right part of the content.
set -u
zeko="${ZE_TOOLS_DIR:?}/zeko"
[ -x "$zeko" ] || { echo "FAIL: no $zeko"; exit 1; }
tmp=$(mktemp -d)
pid=""
cleanup() { [ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$tmp"; }
trap cleanup EXIT
. "${ZE_SOURCE_DIR:?}/tests/x11/x11_wait.sh"
fail() { echo "FAIL: $*"; echo "--- output"; cat "$tmp/out.txt"; exit 1; }

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
sleep 0.5
# The client area on the screen (xdotool's own position is off by the frame).
info=$(xwininfo -id "$win")
WX=$(echo "$info" | awk '/Absolute upper-left X/ {print $4}')
WY=$(echo "$info" | awk '/Absolute upper-left Y/ {print $4}')
size=$(echo "$info" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
[ "$size" = 400x300 ] || fail "window is $size"

# The colour of a window pixel, as six hex digits, from a screenshot.
pixel() {
    import -window root "ppm:$tmp/shot.ppm" || fail "no screenshot"
    /usr/bin/python3 "${ZE_SOURCE_DIR:?}/tests/x11/ppm_pixel.py" "$tmp/shot.ppm" $((WX + $1)) $((WY + $2))
}
got=""
pixel_is() { got=$(pixel "$1" "$2"); [ "$got" = "$3" ]; }
expect_pixel() {   # x y colour what
    wait_for "pixel ($1, $2) to become $3 ($4)" pixel_is "$1" "$2" "$3" || fail "$4: pixel ($1, $2) is $got, not $3"
}
expect_line() {
    wait_for "the line \"$1\"" grep -qx "$1" "$tmp/out.txt" || fail "no line \"$1\""
}
mouse() { xdotool mousemove $((WX + $1)) $((WY + $2)); }

# Box 1 at content y 40..80, box 4 at 450..490, box 5 at 780..820; the view
# is 300 high over 900 of content, the bar 15 wide at the right.
expect_pixel 100 60 ff8080 "box 1 at the start"
expect_pixel 100 110 ffffff "below box 1"

# Eight wheel steps of 45: scroll 360, box 4 at window y 90..130.
mouse 100 150
for _ in 1 2 3 4 5 6 7 8; do xdotool click 5; sleep 0.05; done
expect_pixel 100 110 8080ff "box 4 after the wheel"

# The thumb (top 123, 89 long at scroll 360) dragged far below the window:
# scroll 600, box 5 at window y 180..220.
mouse 392 160
xdotool mousedown 1
sleep 0.1
for y in 200 260 330 420; do mouse 392 $y; sleep 0.05; done
xdotool mouseup 1
expect_pixel 100 200 ff80ff "box 5 after the thumb drag"
expect_pixel 100 160 ffffff "above box 5"

# A click on the track above the thumb pages up by 180: box 4 at 30..70.
mouse 392 100
xdotool click 1
expect_pixel 100 50 8080ff "box 4 after page up"

# A click reaches box 4 only; it turns yellow.
mouse 100 50
xdotool click 1
expect_line "box 4 clicked"
expect_pixel 100 50 ffff00 "box 4 clicked"
grep -q "box [1235] clicked" "$tmp/out.txt" && fail "another box got the click"

# The down arrow: 45 more, box 4 at -15..25.
mouse 392 292
xdotool click 1
expect_pixel 100 10 ffff00 "box 4 after the down arrow"
expect_pixel 100 40 ffffff "below box 4 after the down arrow"

# Tab to box 5 (scrolled into view), Shift+Tab back past the nofocus box 3.
xdotool key Tab
expect_line "box 5 focused"
xdotool key shift+Tab
expect_line "box 4 focused"
xdotool key shift+Tab
expect_line "box 2 focused"
grep -q "box 3" "$tmp/out.txt" && fail "the nofocus box took the focus"
# Box 2 (content 200..240) is in view again.
found=""
for y in $(seq 0 10 290); do
    [ "$(pixel 100 $y)" = 80ff80 ] && { found=$y; break; }
done
[ -n "$found" ] || fail "box 2 not in view after Shift+Tab"

# Closing the window ends the program.
xdotool key alt+F4 2>/dev/null
ended() { ! kill -0 "$pid" 2>/dev/null; }
wait_for "the demo to end after its window closed" ended || fail "the demo did not end when its window closed"
wait "$pid"
rc=$?
pid=""
[ "$rc" = 0 ] || fail "exit code $rc"
echo "ok"
