#!/bin/bash
# The X server going away while a window is open: the program leaves through
# its close path (close request, window closed, exit status 0) instead of
# Xlib's exit(1) from deep inside the event pump. Runs on an X server of its
# own, so the shared fixture is not disturbed; a second round keeps the
# demo's timer thread idle and kills the server hard.
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
fail() { echo "FAIL: $*"; echo "--- output"; cat "$tmp/out.txt" 2>/dev/null; exit 1; }

round() {
    local signal=$1
    private_xvfb_start "$tmp" 800x600x24 || fail "no private X server"
    "$zeko" demo scroll >"$tmp/out.txt" 2>&1 &
    pid=$!
    for _ in $(seq 100); do
        grep -q "demo ready" "$tmp/out.txt" 2>/dev/null && break
        kill -0 "$pid" 2>/dev/null || fail "the demo ended at start"
        sleep 0.1
    done
    grep -q "demo ready" "$tmp/out.txt" || fail "the demo did not start"
    kill "-$signal" "$xvfb_pid"
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
    local rc=""
    for _ in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.05
    done
    kill -0 "$pid" 2>/dev/null && fail "the demo still runs 5 s after the server went ($signal)"
    wait "$pid"
    rc=$?
    pid=""
    [ "$rc" = 0 ] || fail "exit status $rc after the server went ($signal)"
    grep -q "x11: display connection lost" "$tmp/out.txt" || fail "no diagnostic ($signal)"
}

round TERM
round KILL
echo "ok"
