#!/bin/bash
# The shared-memory window test again, on a server without MIT-SHM and on one
# reached over TCP: the same pixels must arrive through the connection, and
# the backend says once (under ZE_X11_DEBUG) that it does without the
# extension. Servers of its own, with no window manager.
set -u
bin="${ZE_BUILD_DIR:?}/tests/window_shm_x11_test"
[ -x "$bin" ] || { echo "FAIL: no $bin"; exit 1; }
tmp=$(mktemp -d)
. "${ZE_SOURCE_DIR:?}/tests/x11/private_xvfb.sh"
cleanup() {
    private_xvfb_stop KILL
    rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; echo "--- output"; cat "$tmp/out.txt" 2>/dev/null; exit 1; }

private_xvfb_start "$tmp" 1024x768x24 -extension MIT-SHM || fail "no private X server"
xdpyinfo -queryExtensions 2>/dev/null | grep -q MIT-SHM && fail "the server still offers MIT-SHM"

ZE_X11_DEBUG=1 timeout 60 "$bin" >"$tmp/out.txt" 2>&1 || fail "the window test failed without MIT-SHM"
grep -q "server does not offer MIT-SHM" "$tmp/out.txt" || fail "the test did not run on the server without it"
[ "$(grep -c 'MIT-SHM not used (the server does not offer it)' "$tmp/out.txt")" = 1 ] ||
    fail "the backend did not say exactly once that it does without MIT-SHM"
grep "bytes written per put" "$tmp/out.txt"
private_xvfb_stop KILL

# A server that offers it, reached over TCP as a remote one would be: it
# could not read our memory, so the backend must not try.
private_xvfb_start "$tmp" 1024x768x24 -listen tcp || fail "no private X server on TCP"
n=${DISPLAY#:}
DISPLAY="127.0.0.1:$n" ZE_TEST_TCP=1 ZE_X11_DEBUG=1 timeout 60 "$bin" >"$tmp/out.txt" 2>&1 ||
    fail "the window test failed over TCP"
grep -q "server offers MIT-SHM, over TCP" "$tmp/out.txt" || fail "the test did not run over TCP"
[ "$(grep -c 'MIT-SHM not used (not a local connection)' "$tmp/out.txt")" = 1 ] ||
    fail "the backend did not say exactly once that it does without MIT-SHM over TCP"
grep "bytes written per put" "$tmp/out.txt"
echo "ok"
