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
cpu_ticks() { local st; read -r -a st <"/proc/$pid/stat"; echo $(( ${st[13]} + ${st[14]} )); }
hz=$(getconf CLK_TCK)
t0=$(cpu_ticks)
start=$(date +%s.%N)
sleep "$secs"
kill -0 "$pid" 2>/dev/null || { echo "quimo ended early:"; cat "$tmp/output.txt"; exit 1; }
t1=$(cpu_ticks)
end=$(date +%s.%N)
hwm=$(awk '/^VmHWM:/ {print $2}' "/proc/$pid/status")
rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status")
threads=$(ls "/proc/$pid/task" | wc -l)
kill -TERM "$pid"
wait "$pid" || true
pid=""
awk -v t="$((t1 - t0))" -v hz="$hz" -v s="$start" -v e="$end" -v hwm="$hwm" -v rss="$rss" -v th="$threads" 'BEGIN {
    cpu = t / hz; wall = e - s
    printf "wall %.1f s, cpu %.2f s, %.3f %% of one core, peak RSS %.1f MB (now %.1f MB), %d threads\n",
        wall, cpu, 100 * cpu / wall, hwm / 1024, rss / 1024, th
}'
