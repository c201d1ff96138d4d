#!/bin/bash
# One running copy per user and profile: of two copies started at once one
# runs and the other asks it to show its settings and ends with 0; a copy
# killed with SIGKILL leaves no lock behind; profiles run side by side, each
# with its own settings table, log and window position.
set -u
. "$(dirname "$0")/quimo_proc.sh"
tmp=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill -KILL "$p" 2>/dev/null; done; rm -rf "$tmp"; }
trap cleanup EXIT
fails=0
fail() { echo "FAIL: $*"; fails=$((fails + 1)); }
ZEKO="$ZE_TOOLS_DIR/zeko"
export ZE_PLATFORM=headless QUIMO_TIME_URL="http://127.0.0.1:9/" XDG_CONFIG_HOME="$tmp/config"

cp -r "$ZE_PROGRAM_DIR"/. "$tmp"/
rm -rf "$tmp/quimo.log" "$tmp/quimo_settings.dbf" "$tmp/profiles" "$tmp/quimo.lock"
cd "$tmp"
start() { $guard ./quimo "$@" >>out.txt 2>&1 & pids+=($!); }

# Two at once.
start
a=$!
start
b=$!
wait_log quimo.log mainloop || fail "neither copy started"
# The one that lost ends by itself, with 0.
ended=""
for _ in $(seq 200); do
    kill -0 "$a" 2>/dev/null || { ended=$a; break; }
    kill -0 "$b" 2>/dev/null || { ended=$b; break; }
    sleep 0.05
done
[ -n "$ended" ] || fail "both copies still run"
wait "$ended" || fail "the second copy ended with $?"
running=$([ "$ended" = "$a" ] && echo "$b" || echo "$a")
kill -0 "$running" 2>/dev/null || fail "no copy runs"
[ "$(grep -c mainloop quimo.log)" = 1 ] || fail "both copies started: $(grep -c mainloop quimo.log) main loops"
wait_log quimo.log "another start asks for the settings window" || fail "the running copy was not asked for its settings window"

# A third start while it runs does the same.
start
wait_gone "$!" || fail "third start: exit status $?"
wait_log quimo.log "another start asks" 2 || fail "the third start was not answered"

# Killed outright, the lock goes with it.
kill -KILL "$running"
wait "$running" 2>/dev/null
start
c=$!
wait_log quimo.log mainloop 2 || fail "no start after SIGKILL"
kill -0 "$c" 2>/dev/null || fail "the copy after SIGKILL ended"

# Two profiles beside it, with different settings.
mkdir -p profiles/one profiles/two
cp examples/s3.dbf profiles/one/quimo_settings.dbf
cp examples/s5.dbf profiles/two/quimo_settings.dbf
# Profile one starts with the desktop session: an entry of its own.
row=$(($("$ZEKO" dbf dump profiles/one/quimo_settings.dbf | grep -n '^Autostart' | cut -d: -f1) - 2))
"$ZEKO" dbf set profiles/one/quimo_settings.dbf "$row" 1 1 >/dev/null || fail "dbf set"
start --profile one
p1=$!
start --profile=two
p2=$!
wait_log profiles/one/quimo.log mainloop || fail "profile one did not start"
wait_log profiles/two/quimo.log mainloop || fail "profile two did not start"
# Its own lock: a second start of profile one asks profile one only.
start --profile one
wait_gone "$!" || fail "second start of profile one: exit status $?"
wait_log profiles/one/quimo.log "another start asks" || fail "profile one was not asked"
[ "$(grep -c 'another start asks' quimo.log)" = 2 ] || fail "the default timer was asked for profile one"
for p in "$p1" "$p2" "$c"; do
    kill -TERM "$p"
    wait_gone "$p" || fail "exit status $? at SIGTERM"
done
cell() { "$ZEKO" dbf dump "$1" | sed -n "$(($2 + 2))p" | cut -f$(($3 + 1)); }
for n in one:3 two:5; do
    name=${n%:*} ex=examples/s${n#*:}.dbf
    f=profiles/$name/quimo_settings.dbf
    grep -q "Settings saved" "profiles/$name/quimo.log" || fail "profile $name not saved"
    # Row 13 holds the digit size, row 7 the window position.
    [ "$(cell "$f" 13 1)" = "$(cell "$ex" 13 1)" ] || fail "profile $name: size $(cell "$f" 13 1), not its own"
    [ "$(cell "$f" 7 2)" = "$(cell "$ex" 7 2)" ] || fail "profile $name: window y $(cell "$f" 7 2), not its own"
done
[ "$(cell profiles/one/quimo_settings.dbf 13 1)" != "$(cell profiles/two/quimo_settings.dbf 13 1)" ] &&
[ "$(cell profiles/one/quimo_settings.dbf 7 2)" != "$(cell profiles/two/quimo_settings.dbf 7 2)" ] ||
    fail "the two profiles saved the same size or position: the test shows nothing"
[ -f quimo_settings.dbf ] || fail "the default timer did not save its own table"
grep -qx "Exec=$tmp/quimo --profile one" "$XDG_CONFIG_HOME/autostart/QUIMO-one.desktop" ||
    fail "autostart entry of profile one: $(cat "$XDG_CONFIG_HOME"/autostart/* 2>&1)"
grep -qx "Icon=$tmp/quimo.png" "$XDG_CONFIG_HOME/autostart/QUIMO-one.desktop" || fail "autostart icon of a portable copy"
[ -e "$XDG_CONFIG_HOME/autostart/QUIMO-two.desktop" ] && fail "profile two wrote an autostart entry"

# A FIFO put in place of the lock neither blocks a start nor a second one.
mkdir -p profiles/fifo
mkfifo profiles/fifo/quimo.lock
start --profile fifo
f=$!
wait_log profiles/fifo/quimo.log mainloop || fail "no start with a FIFO as lock file"
kill -TERM "$f"
wait_gone "$f" || fail "FIFO lock: exit status $?"

# A profile name cannot leave its folder.
$guard ./quimo --profile ../x >bad.txt 2>&1
[ $? = 2 ] || fail "a bad profile name was accepted"
grep -q 'profile' bad.txt || fail "no message for a bad profile name"
[ -e profiles/x ] || [ -e x ] && fail "a folder for a bad profile name was made"

echo "$((fails == 0 ? 1 : 0)) passed, $fails failed"
[ $fails = 0 ]
