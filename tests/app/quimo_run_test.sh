#!/bin/bash
# QUIMO started from a copy of its program directory on the in-memory screen:
# it logs its start, keeps running on its timers and, on SIGTERM, saves and
# quits cleanly with exit code 0.
set -u
src="${ZE_PROGRAM_DIR:?}"
[ -x "$src/quimo" ] || { echo "FAIL: no program at $src/quimo"; exit 1; }
tmp=$(mktemp -d)
pid=""
cleanup() { [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null; rm -rf "$tmp"; }
trap cleanup EXIT
fail() { echo "FAIL: $*"; echo "--- quimo.log"; cat -A "$tmp/quimo.log" 2>/dev/null | head -40; echo "--- output"; head -40 "$tmp/output.txt"; exit 1; }

cp -r "$src"/. "$tmp"/
rm -f "$tmp/quimo.log" "$tmp/quimo_settings.dbf" "$tmp/scanlineoffset.txt"

export ZE_PLATFORM=headless
export QUIMO_TIME_URL="http://127.0.0.1:9/"  # never the real time service
# Never the real clock, where the bounding set can be narrowed.
guard=""
setpriv --bounding-set=-sys_time true 2>/dev/null && guard="setpriv --bounding-set=-sys_time"
# Started from another directory: it must find its own.
(cd / && exec $guard "$tmp/quimo") >"$tmp/output.txt" 2>&1 &
pid=$!

for _ in $(seq 150); do
    grep -q "mainloop" "$tmp/quimo.log" 2>/dev/null && break
    kill -0 "$pid" 2>/dev/null || fail "quimo ended during start-up"
    sleep 0.1
done
grep -q " mainloop"$'\r'"\$" "$tmp/quimo.log" || fail "no mainloop line"

stamp='[0-9]{2}\.[0-9]{2}\.[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2}'
grep -Eq "^$stamp formatstring=-?[#:.]+"$'\r'"\$" "$tmp/quimo.log" || fail "no formatstring line in the exact format"
grep -Eq "^$stamp work area: t=-?[0-9]+ b=-?[0-9]+ l=-?[0-9]+ r=-?[0-9]+"$'\r'"\$" "$tmp/quimo.log" || fail "no work area line"
printf '0\r\nOffset to retrace detection, to avoid flickering under special circumstances.\r\n' | cmp -s - "$tmp/scanlineoffset.txt" \
    || fail "scanlineoffset.txt missing or different"

# Running on its timers: alive and not spinning (a busy wait would take
# about the whole 2 s of one core).
cpu_ns() { cat /proc/"$pid"/task/*/schedstat | awk '{ s += $1 } END { printf "%d", s }'; }
# The main thread's wakeups: a display without hundredths wakes about ten
# times a second, not on every 10 ms tick (that would be about 200 in 2 s).
wakeups() { awk '/^voluntary_ctxt_switches/ { print $2 }' /proc/"$pid"/task/"$pid"/status; }
before=$(cpu_ns)
woken=$(wakeups)
sleep 2
kill -0 "$pid" 2>/dev/null || fail "quimo ended by itself"
used=$(( $(cpu_ns) - before ))
woken=$(( $(wakeups) - woken ))
[ "$used" -lt 500000000 ] || fail "busy while idle: $used ns of CPU in 2 s"
[ "$woken" -lt 80 ] || fail "the idle main thread woke $woken times in 2 s"

kill -TERM "$pid"
wait "$pid"
rc=$?
pid=""
[ "$rc" -eq 0 ] || fail "exit code $rc after SIGTERM"
tail -n 2 "$tmp/quimo.log" | tr -d '\r' | sed -E "s/^$stamp //" >"$tmp/tail.txt"
printf 'Settings saved\nexit\n' | cmp -s - "$tmp/tail.txt" || fail "log does not end with Settings saved, exit"
echo "PASS"
