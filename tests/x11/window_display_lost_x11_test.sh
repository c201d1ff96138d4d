#!/bin/bash
# The X server going away while a window is open: the program leaves through
# its close path (close request, window closed, exit status 0) instead of
# Xlib's exit(1) from deep inside the event pump. Runs on an X server of its
# own, so the shared fixture is not disturbed; a second round keeps the
# demo's timer thread idle and kills the server hard; a third runs QUIMO with
# its output going to a pipe that nobody reads.
set -u
zeko="${ZE_TOOLS_DIR:?}/zeko"
[ -x "$zeko" ] || { echo "FAIL: no $zeko"; exit 1; }
tmp=$(mktemp -d)
pid=""
. "${ZE_SOURCE_DIR:?}/tests/x11/private_xvfb.sh"
cleanup() {
    [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null
    private_xvfb_stop KILL
    rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; echo "--- output"; cat "$tmp/out.txt" 2>/dev/null; [ -n "$pid" ] && dump_stacks "$pid"; exit 1; }

ready() { kill -0 "$pid" 2>/dev/null || return 125; grep -q "$1" "$2" 2>/dev/null; }
ended() { ! kill -0 "$pid" 2>/dev/null; }

# The server goes; the program must end by itself through its close path.
lose_server() {
    local signal=$1 what=$2
    kill "-$signal" "$xvfb_pid"
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
    wait_for "$what to end after the server went ($signal)" ended ||
        fail "$what still runs 30 s after the server went ($signal)"
    wait "$pid"
    rc=$?
    pid=""
}

round() {
    local signal=$1
    private_xvfb_start "$tmp" 800x600x24 || fail "no private X server"
    rm -f "$tmp/out.txt"  # the last round's "demo ready" must not count
    "$zeko" demo scroll >"$tmp/out.txt" 2>&1 &
    pid=$!
    wait_for "the demo's \"demo ready\" line" ready "demo ready" "$tmp/out.txt" || fail "the demo did not start"
    lose_server "$signal" "the demo"
    [ "$rc" = 0 ] || fail "exit status $rc after the server went ($signal)"
    grep -q "x11: display connection lost" "$tmp/out.txt" || fail "no diagnostic ($signal)"
}

round TERM
round KILL

# QUIMO with its standard output a pipe nobody reads any more: the
# diagnostic about the lost server must not end it (SIGPIPE) before it saves.
private_xvfb_start "$tmp" 800x600x24 || fail "no private X server"
mkdir "$tmp/prog"
cp -r "${ZE_PROGRAM_DIR:?}"/. "$tmp/prog"/
rm -f "$tmp/prog/quimo.log" "$tmp/prog/quimo_settings.dbf"
guard=""
setpriv --bounding-set=-sys_time true 2>/dev/null && guard="setpriv --bounding-set=-sys_time"
exec 7> >(exit 0)  # a pipe whose reader is gone
QUIMO_TIME_URL="http://127.0.0.1:9/" $guard "$tmp/prog/quimo" >&7 2>&1 &
pid=$!
exec 7>&-
wait_for "QUIMO's \"mainloop\" line" ready mainloop "$tmp/prog/quimo.log" || fail "QUIMO did not start"
lose_server TERM "QUIMO"
[ "$rc" = 0 ] || fail "QUIMO: exit status $rc after the server went with nobody reading its output"
grep -q "Settings saved" "$tmp/prog/quimo.log" || fail "QUIMO did not save after the server went"
[ -f "$tmp/prog/quimo_settings.dbf" ] || fail "QUIMO wrote no settings file"
echo "ok"
