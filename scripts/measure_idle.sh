#!/bin/bash
# Measures what an idle QUIMO costs: starts it for N seconds (default 60) from
# a copy of its program directory and reports CPU seconds, % of one core and
# peak resident memory, read from /proc. Then ends it with SIGTERM.
#   scripts/measure_idle.sh [SECONDS] [PROGRAM_DIR]
# ZE_PLATFORM chooses the backend as usual (x11 needs DISPLAY).
# Targets for the idle timer: under 0.25 % of one core and under 15 MB.
set -eu
secs="${1:-60}"
src="${2:-$(cd "$(dirname "$0")/.." && pwd)/build/program}"
[ -x "$src/quimo" ] || { echo "no program at $src/quimo (build first)" >&2; exit 1; }
tmp=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null; rm -rf "$tmp"' EXIT
cp -r "$src"/. "$tmp"/
rm -f "$tmp/quimo.log"
export QUIMO_TIME_URL="${QUIMO_TIME_URL:-http://127.0.0.1:9/}"

"$tmp/quimo" >"$tmp/output.txt" 2>&1 &
pid=$!
# Start-up (loading pictures, opening windows) is not idle time: measure from
# the first "mainloop" on.
for _ in $(seq 200); do
    grep -q mainloop "$tmp/quimo.log" 2>/dev/null && break
    sleep 0.05
done
# CPU time in nanoseconds, summed over the threads (schedstat is exact where
# the clock-tick counts of stat are 10 ms coarse).
cpu_ns() { cat /proc/"$pid"/task/*/schedstat | awk '{ s += $1 } END { printf "%d", s }'; }
wakeups() { cat /proc/"$pid"/task/*/status | awk '/^voluntary_ctxt_switches/ { s += $2 } END { print s }'; }
t0=$(cpu_ns)
w0=$(wakeups)
start=$(date +%s.%N)
sleep "$secs"
kill -0 "$pid" 2>/dev/null || { echo "quimo ended early:"; cat "$tmp/output.txt"; exit 1; }
t1=$(cpu_ns)
w1=$(wakeups)
end=$(date +%s.%N)
hwm=$(awk '/^VmHWM:/ {print $2}' "/proc/$pid/status")
rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status")
threads=$(ls "/proc/$pid/task" | wc -l)
kill -TERM "$pid"
wait "$pid" || true
pid=""
awk -v t="$((t1 - t0))" -v w="$((w1 - w0))" -v s="$start" -v e="$end" -v hwm="$hwm" -v rss="$rss" -v th="$threads" 'BEGIN {
    cpu = t / 1e9; wall = e - s
    printf "wall %.1f s, cpu %.3f s, %.3f %% of one core, %.0f wakeups/s, peak RSS %.1f MB (now %.1f MB), %d threads\n",
        wall, cpu, 100 * cpu / wall, w / wall, hwm / 1024, rss / 1024, th
}'
