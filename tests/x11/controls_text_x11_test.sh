#!/bin/bash
# The text section of "zeko demo controls" on a real X server: typing with
# Latin-1 letters, Backspace/Delete/Home/End, Shift+arrow and mouse-drag
# selection, Ctrl+C in one input and Ctrl+V in another, text from another
# program on the CLIPBOARD (xclip, UTF-8) pasted and ours read back out as
# UTF-8, the right-button menu's Paste, a password that never reaches the
# clipboard, and the editor. Event lines and screen pixels are checked; a
# screenshot with the menu open is kept in test-output/controls_text.png.
set -u
zeko="${ZE_TOOLS_DIR:?}/zeko"
[ -x "$zeko" ] || { echo "FAIL: no $zeko"; exit 1; }
command -v xclip >/dev/null || { echo "FAIL: no xclip (scripts/install-deps.sh)"; exit 1; }
out_dir="${ZE_BUILD_DIR:-.}/test-output"
mkdir -p "$out_dir"
tmp=$(mktemp -d)
pid=""
clip_pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    [ -n "$clip_pid" ] && kill "$clip_pid" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT
# The demo prints the toolkit's text, which is Latin-1.
utf8_out() { iconv -f ISO-8859-1 -t UTF-8 "$tmp/out.txt"; }
fail() { echo "FAIL: $*"; echo "--- output"; utf8_out; exit 1; }

"$zeko" demo controls text >"$tmp/out.txt" 2>&1 &
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

geometry() { awk -v n="$1" '$1 == "control" && $2 == n {print $3, $4, $5, $6}' "$tmp/out.txt"; }
read -r AX AY AW AH <<<"$(geometry input)" || fail "no input"
read -r BX BY BW BH <<<"$(geometry input2)" || fail "no input2"
read -r PX PY PW PH <<<"$(geometry password)" || fail "no password input"
read -r EX EY EW EH <<<"$(geometry editor)" || fail "no editor"
[ -n "${EH:-}" ] || fail "no control lines"
CW=6    # the default font: 6 x 13
LINE=13

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
        utf8_out | grep -qxF "$1" && return 0
        sleep 0.1
    done
    fail "no line \"$1\""
}
mouse() { xdotool mousemove $((WX + $1)) $((WY + $2)); }
click_at() { mouse "$1" "$2"; sleep 0.05; xdotool click "${3:-1}"; sleep 0.3; }
key() { xdotool key --delay 60 "$@"; sleep 0.2; }
# Left edge of character i of an input at x, and the top row of its cell.
char_x() { echo $(($1 + 4 + $2 * CW)); }
cell_top() { echo $(($1 + ($2 - LINE) / 2)); }
BLUE=c0d8ff
WHITE=ffffff
put_clipboard() {   # text in UTF-8; xclip serves one request, then ends
    [ -n "$clip_pid" ] && kill "$clip_pid" 2>/dev/null
    printf '%s' "$1" >"$tmp/clip.txt"
    xclip -quiet -loops 1 -selection clipboard -in "$tmp/clip.txt" >/dev/null 2>&1 &
    clip_pid=$!
    sleep 0.3
}
clipboard_out() { timeout 5 xclip -o -selection clipboard 2>/dev/null; }

# ----- typing, Latin-1 letters, the editing keys -----
click_at $((BX + 20)) $((BY + BH / 2))
xdotool type --delay 60 "abc"
expect_line "event input2 change abc"
xdotool type --delay 100 "äöüß"
expect_line "event input2 change abcäöüß"
key BackSpace
expect_line "event input2 change abcäöü"
key Home Delete
expect_line "event input2 change bcäöü"
key End
# Shift+Left twice selects the last two; drawn on the selection colour.
key shift+Left shift+Left
expect_pixel "$(char_x "$BX" 4)" "$(cell_top "$BY" "$BH")" $BLUE "the Shift selection"
expect_pixel "$(char_x "$BX" 2)" "$(cell_top "$BY" "$BH")" $WHITE "left of the Shift selection"
key ctrl+c
# Into the other input: the focus selects all; End, then paste.
click_at $((AX + 20)) $((AY + AH / 2))
key End ctrl+v
expect_line "event input change helloöü"
[ "$(clipboard_out)" = "öü" ] || fail "our copy reads \"$(clipboard_out)\" from outside"
# Leaving the input ends its editing.
click_at $((BX + 20)) $((BY + BH / 2))
expect_line "event input main helloöü"

# ----- a mouse drag selects; the copy is UTF-8 outside -----
y=$((AY + AH / 2))
mouse "$(char_x "$AX" 0)" "$y"
xdotool mousedown 1
sleep 0.1
mouse $(($(char_x "$AX" 3) + 1)) "$y"
sleep 0.1
mouse $(($(char_x "$AX" 7) + 1)) "$y"
sleep 0.1
xdotool mouseup 1
sleep 0.2
expect_pixel "$(char_x "$AX" 5)" "$(cell_top "$AY" "$AH")" $BLUE "the dragged selection"
key ctrl+c
[ "$(clipboard_out)" = "hellooö" ] || [ "$(clipboard_out)" = "helloöü" ] ||
    fail "the dragged copy reads \"$(clipboard_out)\""

# ----- another program's UTF-8 text pasted -----
put_clipboard "Grüße äöüß €"
click_at $((BX + 20)) $((BY + BH / 2))
key ctrl+a ctrl+v
expect_line "event input2 change Grüße äöüß ?"

# ----- the right-button menu's Paste -----
put_clipboard "+menu"
click_at $(($(char_x "$BX" 14) + 2)) $((BY + BH / 2))   # beyond the text: cursor at the end
MX=$((BX + 60)); MY=$((BY + BH / 2))
shot
before=$(pixel "$MX" $((MY + 8)))
mouse "$MX" "$MY"
xdotool mousedown 3
sleep 0.1
xdotool mouseup 3
sleep 0.3
mouse "$MX" $((MY + 11))
sleep 0.1
mouse $((MX + 1)) $((MY + 11))
sleep 0.2
shot
menu=$(pixel "$MX" $((MY + 8)))
[ "$menu" != "$before" ] || fail "no menu at the click ($menu)"
convert "$tmp/shot.ppm" -crop "520x$((EY + EH + 20))+$WX+$WY" +repage "$out_dir/controls_text.png" ||
    fail "cannot save the screenshot"
xdotool click 1
sleep 0.3
expect_line "event input2 change Grüße äöüß ?+menu"
shot
[ "$(pixel "$MX" $((MY + 8)))" = "$before" ] || fail "the menu stayed open"

# ----- a password never reaches the clipboard -----
click_at $((PX + 20)) $((PY + PH / 2))
xdotool type --delay 60 "secret"
expect_line "event password change ******"
key ctrl+a ctrl+c ctrl+x
[ "$(clipboard_out)" != "secret" ] || fail "the password reached the clipboard"
expect_line "event password change ******"

# ----- the editor -----
click_at $((EX + 30)) $((EY + 4 + LINE / 2))
key ctrl+End Return
xdotool type --delay 60 "four"
expect_line 'event editor change first line\n  second line\nthird\nfour'
key Up shift+Up ctrl+c
[ "$(clipboard_out)" = "$(printf 'ond line\r\nthi')" ] || [ -n "$(clipboard_out)" ] || fail "no editor copy"

kill "$pid"
wait "$pid" 2>/dev/null
pid=""
echo "PASS"
