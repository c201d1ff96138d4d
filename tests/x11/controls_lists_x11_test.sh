#!/bin/bash
# The lists section of "zeko demo controls" on a real X server: a list box
# driven by clicks, arrows, Page keys, Home/End and first letters; a list of
# a hundred thousand lines; a combo box opened, chosen from with the mouse
# and the keys, closed with Escape and by a click outside. Event lines and
# screen pixels are checked; a screenshot of the open list is kept in
# test-output/controls_lists.png.
set -u
zeko="${ZE_TOOLS_DIR:?}/zeko"
[ -x "$zeko" ] || { echo "FAIL: no $zeko"; exit 1; }
out_dir="${ZE_BUILD_DIR:-.}/test-output"
mkdir -p "$out_dir"
tmp=$(mktemp -d)
pid=""
cleanup() { [ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$tmp"; }
trap cleanup EXIT
fail() { echo "FAIL: $*"; echo "--- output"; cat "$tmp/out.txt"; exit 1; }

"$zeko" demo controls lists >"$tmp/out.txt" 2>&1 &
pid=$!
win=""
for _ in $(seq 150); do
    win=$(xdotool search --name "zeko controls demo" 2>/dev/null | head -1)
    [ -n "$win" ] && grep -q "demo ready" "$tmp/out.txt" && break
    kill -0 "$pid" 2>/dev/null || fail "the demo ended at start"
    sleep 0.1
done
[ -n "$win" ] || fail "no window"
sleep 0.5
info=$(xwininfo -id "$win")
WX=$(echo "$info" | awk '/Absolute upper-left X/ {print $4}')
WY=$(echo "$info" | awk '/Absolute upper-left Y/ {print $4}')

# "control NAME X Y W H" lines give the rectangles (the section is at the
# top of the content, which is not scrolled).
geometry() { awk -v n="$1" '$1 == "control" && $2 == n {print $3, $4, $5, $6}' "$tmp/out.txt"; }
read -r LX LY LW LH <<<"$(geometry list)" || fail "no list box"
read -r GX GY GW GH <<<"$(geometry longlist)" || fail "no long list"
read -r CX CY CW CH <<<"$(geometry combo)" || fail "no combo box"
[ -n "${CH:-}" ] || fail "no control lines"
LINE=13   # the default font's height

shot() { import -window root "ppm:$tmp/shot.ppm" || fail "no screenshot"; }
pixel() { /usr/bin/python3 "${ZE_SOURCE_DIR:?}/tests/x11/ppm_pixel.py" "$tmp/shot.ppm" $((WX + $1)) $((WY + $2)); }
expect_pixel() {   # x y colour what
    local got
    for _ in $(seq 20); do
        shot
        got=$(pixel "$1" "$2")
        [ "$got" = "$3" ] && return 0
        sleep 0.1
    done
    fail "$4: pixel ($1, $2) is $got, not $3"
}
expect_line() {
    for _ in $(seq 30); do
        grep -qxF "$1" "$tmp/out.txt" && return 0
        sleep 0.1
    done
    fail "no line \"$1\""
}
lines_now() { wc -l <"$tmp/out.txt"; }
mouse() { xdotool mousemove $((WX + $1)) $((WY + $2)); }
click_at() { mouse "$1" "$2"; sleep 0.05; xdotool click 1; sleep 0.3; }
key() { xdotool key "$@"; sleep 0.15; }
# The middle of visible line i of the fruit list.
line_y() { echo $((LY + 4 + $1 * LINE + LINE / 2)); }
BLUE=c0d8ff
WHITE=ffffff

# ----- the list box -----
click_at $((LX + 40)) "$(line_y 2)"
expect_line "event list select 2:banana"
expect_pixel $((LX + 3)) "$(line_y 2)" $BLUE "the clicked line"
key Down
expect_line "event list select 3:blackberry"
expect_pixel $((LX + 3)) "$(line_y 2)" $WHITE "the line left by Down"
key Up
expect_line "event list select 2:banana"
key Next
expect_line "event list select 8:elderberry"
key Prior
expect_line "event list select 2:banana"
key End
expect_line "event list select 27:watermelon"
# 28 lines, 7 visible: the last one at the bottom.
expect_pixel $((LX + 3)) "$(line_y 6)" $BLUE "the last line after End"
key Home
expect_line "event list select 0:apple"
expect_pixel $((LX + 3)) "$(line_y 0)" $BLUE "the first line after Home"
key m
expect_line "event list select 15:mango"
key m
expect_line "event list select 16:melon"
key Return
expect_line "event list main 16:melon"
# A double click reports the main event.
mouse $((LX + 40)) "$(line_y 3)"
xdotool click --repeat 2 --delay 80 1
sleep 0.3
expect_line "event list main 13:lemon"
# The wheel scrolls without selecting.
n=$(lines_now)
for _ in 1 2 3; do xdotool click 4; sleep 0.05; done
sleep 0.3
[ "$(lines_now)" = "$n" ] || fail "the wheel selected: $(tail -1 "$tmp/out.txt")"

# ----- a hundred thousand lines -----
click_at $((GX + 40)) $((GY + 4 + LINE / 2))
expect_line "event longlist select 0:entry 000000"
key End
expect_line "event longlist select 99999:entry 099999"
key Prior
expect_line "event longlist select 99993:entry 099993"
key Home
expect_line "event longlist select 0:entry 000000"

# ----- the combo box -----
POPY=$((CY + CH))   # the list opens right below the box
pline_y() { echo $((POPY + 2 + $1 * LINE + LINE / 2)); }
click_at $((CX + CW - CH / 2)) $((CY + CH / 2))
mouse $((CX + 20)) "$(pline_y 1)"
sleep 0.2
mouse $((CX + 21)) "$(pline_y 1)"
expect_pixel $((CX + 4)) "$(pline_y 1)" $BLUE "the highlighted line of the open list"
shot
convert "$tmp/shot.ppm" -crop "640x$((POPY + 120))+$WX+$WY" +repage "$out_dir/controls_lists.png" ||
    fail "cannot save the screenshot"
click_at $((CX + 20)) "$(pline_y 2)"
expect_line "event combo main 2:blue"
expect_pixel $((CX + 4)) "$(pline_y 1)" $WHITE "the list closed after the choice"

# Keys while closed step through the entries.
key Down
expect_line "event combo main 3:yellow"
key Up
expect_line "event combo main 2:blue"
# Enter opens with the shown entry highlighted; Down, Enter chooses silently.
key Return
expect_pixel $((CX + 4)) "$(pline_y 2)" $BLUE "Enter opens the list at the shown entry"
n=$(lines_now)
key Down
expect_pixel $((CX + 4)) "$(pline_y 3)" $BLUE "Down moves the highlight"
key Return
expect_pixel $((CX + 4)) "$(pline_y 3)" $WHITE "Enter closes the list"
[ "$(lines_now)" = "$n" ] || fail "a choice by Enter was reported: $(tail -1 "$tmp/out.txt")"
key Down
expect_line "event combo main 4:cyan"

# Escape closes without choosing.
key Return
expect_pixel $((CX + 4)) "$(pline_y 4)" $BLUE "the list open again"
key Up
key Escape
expect_pixel $((CX + 4)) "$(pline_y 3)" $WHITE "Escape closes the list"
# A click outside closes it too, choosing nothing.
click_at $((CX + 20)) $((CY + CH / 2))
mouse $((CX + 20)) "$(pline_y 0)"
mouse $((CX + 21)) "$(pline_y 0)"
expect_pixel $((CX + 4)) "$(pline_y 0)" $BLUE "the list open by a click on the box"
n=$(lines_now)
click_at 600 440
expect_pixel $((CX + 4)) "$(pline_y 0)" $WHITE "a click outside closes the list"
[ "$(lines_now)" = "$n" ] || fail "a click outside chose: $(tail -1 "$tmp/out.txt")"
key Down
expect_line "event combo main 5:magenta"

kill "$pid"
wait "$pid" 2>/dev/null
pid=""
echo "PASS"
