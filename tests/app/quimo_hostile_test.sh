#!/bin/bash
# QUIMO started the way a hostile user would: a time server that trickles its
# answer, a repeating count-up whose destination lies a year back, FIFOs in
# place of its data files, a program folder it cannot save in, and extreme
# numbers in its settings. Each round runs a fresh copy of the program folder
# on the in-memory screen, without the clock privilege.
set -u
src="${ZE_PROGRAM_DIR:?}"
ZEKO="${ZE_TOOLS_DIR:?}/zeko"
[ -x "$src/quimo" ] || { echo "FAIL: no program at $src/quimo"; exit 1; }
tmp=$(mktemp -d)
pid=""
server_pid=""
cleanup() {
    [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null
    chmod -R u+w "$tmp" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT
fails=0
fail() {
    echo "FAIL: $*"
    fails=$((fails + 1))
    [ -f "$dir/quimo.log" ] && { echo "--- $dir/quimo.log"; tr -d '\r' <"$dir/quimo.log" | tail -15; }
}
export ZE_PLATFORM=headless
export QUIMO_TIME_URL="http://127.0.0.1:9/"
guard=""
setpriv --bounding-set=-sys_time true 2>/dev/null && guard="setpriv --bounding-set=-sys_time"

# fresh NAME: a new copy of the program folder in $dir.
fresh() {
    dir="$tmp/$1"
    mkdir -p "$dir"
    cp -r "$src"/. "$dir"/
    rm -f "$dir/quimo.log" "$dir/quimo_settings.dbf"
}
# start [RUNNER...]: starts the copy in $dir from another folder.
start() {
    (cd / && exec $guard "$@" "$dir/quimo") >"$dir/output.txt" 2>&1 &
    pid=$!
}
# wait_log PATTERN SECONDS
wait_log() {
    local i
    for i in $(seq $(($2 * 10))); do
        grep -q "$1" "$dir/quimo.log" 2>/dev/null && return 0
        kill -0 "$pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}
# stop: one SIGTERM; the exit code, or 255 when it did not end within 5 s.
stop() {
    kill -TERM "$pid" 2>/dev/null
    local i
    for i in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        kill -KILL "$pid"
        wait "$pid" 2>/dev/null
        pid=""
        return 255
    fi
    wait "$pid"
    local rc=$?
    pid=""
    return $rc
}
# settings CELL=VALUE...: a settings file from example 9 with these cells (ROW:COLUMN).
settings() {
    cp "$dir/examples/s9.dbf" "$dir/quimo_settings.dbf"
    local kv
    for kv in "$@"; do
        local rc=${kv%%=*}
        "$ZEKO" dbf set "$dir/quimo_settings.dbf" "${rc%%:*}" "${rc##*:}" "${kv#*=}" || fail "zeko dbf set $kv"
    done
}
cell() { "$ZEKO" dbf dump "$dir/quimo_settings.dbf" | sed -n "$(($1 + 2))p" | cut -f$(($2 + 1)); }

# A time server that sends its answer one byte every half second keeps the
# start-up sync waiting; SIGTERM then still saves and quits at once.
fresh slowsync
mkdir "$tmp/served"
printf 'datetime_utc=Sun Dec 6 17:53:25 2026 y=2026 m=12 d=6 and some more text\n' >"$tmp/served/datetime_utc_q.pl"
/usr/bin/python3 "${ZE_SOURCE_DIR:?}/tests/support/httpserver.py" "$tmp/served" >"$tmp/port" &
server_pid=$!
for _ in $(seq 50); do [ -s "$tmp/port" ] && break; sleep 0.1; done
settings 20:1=1 9:1=0
QUIMO_TIME_URL="http://127.0.0.1:$(head -1 "$tmp/port")/drip/500/datetime_utc_q.pl" start env
if wait_log "get UTC" 10; then
    sleep 1
    grep -q "mainloop" "$dir/quimo.log" && fail "slow sync: the request was over at once"
    stop
    rc=$?
    [ $rc = 0 ] || fail "slow sync: exit code $rc after SIGTERM during the sync"
    grep -q "Settings saved" "$dir/quimo.log" || fail "slow sync: SIGTERM during the sync did not save"
else
    fail "slow sync: no sync at start-up"
fi
kill "$server_pid" 2>/dev/null
server_pid=""

# A repeating one-minute count-up whose destination lies a year back goes
# straight to the current cycle; it does not catch up one cycle per tick.
fresh catchup
year_ago=$(/usr/bin/python3 -c 'import datetime; print((datetime.date.today() - datetime.timedelta(days=365)).toordinal())')
settings 0:1=1 1:1="$year_ago" 1:2=0 3:1=1 4:1=60 5:1=1 9:1=0
start env
wait_log "mainloop" 10 || fail "catch-up: no mainloop"
sleep 2
stop || fail "catch-up: exit code $?"
read -r today now <<<"$(/usr/bin/python3 -c 'import datetime; n = datetime.datetime.now(); print(n.date().toordinal(), n.hour * 3600 + n.minute * 60 + n.second)')"
day=$(cell 1 1)
second=$(cell 1 2)
behind=$(( (today - day) * 86400 + now - second ))
[ "$behind" -ge 0 ] && [ "$behind" -lt 120 ] ||
    fail "catch-up: the destination is $behind s behind now (day $day second $second), not within one cycle"

# FIFOs in place of the data files: start-up neither hangs nor ignores the
# first SIGTERM, and says what it skipped.
fresh fifos
for f in "$dir"/7seg/*.pcx "$dir/scanlineoffset.txt" "$dir/quimo_bg_intern.bmp" "$dir/timeserver.txt"; do
    rm -f "$f"
    mkfifo "$f"
done
settings 9:1=0
start env -u QUIMO_TIME_URL
wait_log "mainloop" 10 || fail "FIFOs: no mainloop"
for f in 7seg/7seg_001_0500.pcx scanlineoffset.txt quimo_bg_intern.bmp; do
    grep -q "$f: not a regular file, ignored" "$dir/quimo.log" || fail "FIFOs: no log line for $f"
done
stop || fail "FIFOs: exit code $? after the first SIGTERM"
grep -q "Settings saved" "$dir/quimo.log" || fail "FIFOs: not saved"

fresh fifolog
mkfifo "$dir/quimo.log"
settings 9:1=0
start env
sleep 2
kill -0 "$pid" 2>/dev/null || fail "FIFO log: ended during start-up"
stop || fail "FIFO log: exit code $? after the first SIGTERM"
[ "$(cell 13 1)" = "$(cd "$dir" && "$ZEKO" dbf dump examples/s9.dbf | sed -n 15p | cut -f2)" ] ||
    fail "FIFO log: the settings were not saved"

# Extreme numbers in the coordinates, border and offsets: the program runs
# (and in the sanitizer build nothing overflows) and saves bounded values.
fresh extreme
settings 7:1=2147483647 7:2=2147483647 8:1=2147483647 8:3=2147483647 8:4=2147483647 \
    18:1=2147483647 18:2=2147483647 16:7=2147483647 9:1=0
start env
wait_log "mainloop" 10 || fail "extreme: no mainloop"
stop || fail "extreme: exit code $?"
[ "$(cell 7 2)" = 100000 ] || fail "extreme: window y saved as $(cell 7 2)"

# A save that fails (a folder the user cannot write, where only the log is
# writable) is logged as failed, never as "Settings saved"; with Autostart
# on, a registry that cannot be written is logged too.
if [ "$(id -u)" = 0 ] && setpriv --reuid=65534 --regid=65534 --clear-groups true 2>/dev/null; then
    fresh readonly
    settings 9:1=0 11:1=1
    touch "$dir/quimo.log"
    chmod 666 "$dir/quimo.log"
    chmod a+rx "$tmp"
    chmod -R a+rX "$dir"
    chmod 555 "$dir"
    mkdir -p "$tmp/home"
    : >"$tmp/home/config"  # a file where the config folder should be
    XDG_CONFIG_HOME="$tmp/home/config" start env setpriv --reuid=65534 --regid=65534 --clear-groups
    wait_log "mainloop" 10 || fail "read-only: no mainloop"
    stop || fail "read-only: exit code $?"
    grep -q "settings not saved to" "$dir/quimo.log" || fail "read-only: the failed save is not logged"
    grep -q "Settings saved" "$dir/quimo.log" && fail "read-only: \"Settings saved\" after a failed save"
    grep -q "autostart not written" "$dir/quimo.log" || fail "read-only: the failed autostart write is not logged"
    chmod 755 "$dir"
else
    echo "note: not root, the read-only round is left out"
fi

echo "$((fails == 0 ? 1 : 0)) passed, $fails failed"
[ $fails = 0 ]
