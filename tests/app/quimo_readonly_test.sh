#!/bin/bash
# QUIMO in a program directory it cannot write: no log, no offset file, no
# saved settings, but it starts, runs and quits on SIGTERM with code 0.
set -u
src="${ZE_PROGRAM_DIR:?}"
[ -x "$src/quimo" ] || { echo "FAIL: no program at $src/quimo"; exit 1; }
tmp=$(mktemp -d)
pid=""
cleanup() { [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null; chmod 755 "$tmp/prog" 2>/dev/null; rm -rf "$tmp"; }
trap cleanup EXIT
fail() { echo "FAIL: $*"; echo "--- output"; head -40 "$tmp/output.txt"; exit 1; }

mkdir "$tmp/prog"
cp -r "$src"/. "$tmp/prog"/
rm -f "$tmp/prog/quimo.log" "$tmp/prog/quimo_settings.dbf" "$tmp/prog/scanlineoffset.txt"
chmod -R a+rX "$tmp"
chmod 555 "$tmp/prog"

export ZE_PLATFORM=headless
export QUIMO_TIME_URL="http://127.0.0.1:9/"
# root writes anywhere: run as nobody then (also without the clock privilege).
run=""
if [ "$(id -u)" = 0 ]; then
    setpriv --reuid=65534 --regid=65534 --clear-groups true 2>/dev/null || { echo "SKIP: no setpriv"; exit 0; }
    run="setpriv --reuid=65534 --regid=65534 --clear-groups"
fi
(cd / && exec $run "$tmp/prog/quimo") >"$tmp/output.txt" 2>&1 &
pid=$!
# Nothing to watch for in a log: give start-up its time, then check it lives.
for _ in $(seq 30); do
    sleep 0.1
    kill -0 "$pid" 2>/dev/null || fail "quimo ended during start-up"
done
sleep 1
kill -0 "$pid" 2>/dev/null || fail "quimo ended by itself"
kill -TERM "$pid"
wait "$pid"
rc=$?
pid=""
[ "$rc" -eq 0 ] || fail "exit code $rc after SIGTERM"
[ ! -e "$tmp/prog/quimo.log" ] || fail "a log appeared in a read-only directory"
echo "PASS"
