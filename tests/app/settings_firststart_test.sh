#!/bin/bash
# A first start without a settings file: the program applies example 9 and,
# when it is told to quit (SIGTERM), writes "quimo_settings.dbf" with example
# 9's settings, the destination 1 January of next year and the window at 50, 5.
set -u
tmp=$(mktemp -d)
pid=
cleanup() { [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null; rm -rf "$tmp"; }
trap cleanup EXIT
fails=0
fail() { echo "FAIL: $*"; fails=$((fails + 1)); }
ZEKO="$ZE_TOOLS_DIR/zeko"

cp -r "$ZE_PROGRAM_DIR"/. "$tmp"/
rm -f "$tmp/quimo_settings.dbf" "$tmp/quimo.log" "$tmp/quimo_bg_intern.bmp"
cd "$tmp"
ZE_PLATFORM=headless setpriv --bounding-set=-sys_time ./quimo >stdout.txt 2>&1 &
pid=$!
for _ in $(seq 200); do
  grep -q mainloop quimo.log 2>/dev/null && break
  sleep 0.1
done
grep -q mainloop quimo.log || fail "the program did not reach its main loop"
kill -TERM "$pid"
for _ in $(seq 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  fail "the program did not end after SIGTERM"
else
  wait "$pid" || fail "exit code $?"
fi
pid=

grep -q 'set example #9' quimo.log || fail "no log line for example 9"
[ -f quimo_settings.dbf ] || { fail "no settings file written"; echo "$fails failed"; exit 1; }
[ "$(stat -c %s quimo_settings.dbf)" = 91303 ] || fail "settings file size $(stat -c %s quimo_settings.dbf)"
ls | grep -q '\.tmp$' && fail "a temporary table was left behind"

"$ZEKO" dbf dump quimo_settings.dbf >saved.txt || fail "dump"
"$ZEKO" dbf dump examples/s9.dbf >example.txt || fail "dump of example 9"
# cell ROW COLUMN FILE
cell() { sed -n "$(($1 + 2))p" "$3" | cut -f$(($2 + 1)); }

next_new_year=$(/usr/bin/python3 -c 'import datetime; print(datetime.date(datetime.date.today().year + 1, 1, 1).toordinal())')
[ "$(cell 1 1 saved.txt)" = "$next_new_year" ] || fail "destination day $(cell 1 1 saved.txt), expected $next_new_year"
[ "$(cell 7 1 saved.txt)" = 50 ] || fail "window x $(cell 7 1 saved.txt)"
[ "$(cell 7 2 saved.txt)" = 5 ] || fail "window y $(cell 7 2 saved.txt)"

# Kept as the user had them (the defaults): 24h, WindowOnStart, Autostart,
# GraphicProgram, Language, SyncTime, Action; the rest comes from example 9.
# Row 7's width is the window's own, computed at run time.
for row in 0 3 4 5 6 8 10 12 13 14 15 16 18 22; do
  [ "$(sed -n "$((row + 2))p" saved.txt)" = "$(sed -n "$((row + 2))p" example.txt)" ] ||
    fail "row $row: '$(sed -n "$((row + 2))p" saved.txt)' is not example 9's '$(sed -n "$((row + 2))p" example.txt)'"
done
[ "$(cell 1 2 saved.txt)" = "$(cell 1 2 example.txt)" ] || fail "destination second"
[ "$(cell 9 1 saved.txt)" = 1 ] || fail "WindowOnStart"
[ "$(cell 19 1 saved.txt)" = 0 ] || fail "Language"
[ "$(sed -n 23p saved.txt)" = $'Action\t0\t0\t0\t\t\tQUIMO\t\t\t\t\t\t\t\t\t\t\t\t\t' ] || fail "Action row: $(sed -n 23p saved.txt | cat -A)"

# The second start reads that file: no example this time, and the same file
# comes out again.
cp quimo_settings.dbf first.dbf
ZE_PLATFORM=headless setpriv --bounding-set=-sys_time ./quimo >stdout2.txt 2>&1 &
pid=$!
for _ in $(seq 200); do
  [ "$(grep -c mainloop quimo.log)" = 2 ] && break
  sleep 0.1
done
kill -TERM "$pid"
wait "$pid"
pid=
[ "$(grep -c 'set example #9' quimo.log)" = 1 ] || fail "example 9 applied on the second start"
"$ZEKO" dbf dump quimo_settings.dbf >saved2.txt
diff <(sed 8d saved.txt) <(sed 8d saved2.txt) >/dev/null || fail "the second start changed the settings: $(diff saved.txt saved2.txt)"

echo "$((fails == 0 ? 1 : 0)) passed, $fails failed"
[ $fails = 0 ]
