#!/bin/bash
# What the running timer costs on X11: starts a private Xvfb with openbox,
# runs the real program from a copy of its program directory for N seconds
# (default 60) with the default display format, then again with hundredths,
# and reports CPU time (% of one core), wakeups and peak resident memory of
# each run, and whether the log grew while the timer merely ran.
#   scripts/measure_x11.sh [SECONDS] [BUILD_DIR]
#   scripts/measure_x11.sh --side-by-side [SECONDS] [BUILD_DIR] [STARTS] [ROUNDS] [--one-at-a-time]
#       QUIMO at Size 25, 50 and 100 (blinking colon, steady colon, hundredths) beside
#       dclock, xclock -digital -update 1 and a bare X client (the floor),
#       all at once under one X server, or each QUIMO alone beside them
#       (see measure_x11_side.py); prints a table with QUIMO's ratio to the
#       best peer.
# Targets: default format under 0.25 % of one core, hundredths under 2 %,
# both under 15 MB; the log does not grow. Exit status 1 when a run failed
# or the log grew, 2 when a target was missed.
set -eu
side=""
[ "${1:-}" = --side-by-side ] && { side=1; shift; }
secs="${1:-60}"
build="${2:-$(cd "$(dirname "$0")/.." && pwd)/build}"
program="$build/program"
zeko="$build/tools/zeko"
[ -x "$program/quimo" ] || { echo "no program at $program/quimo (build first)" >&2; exit 1; }
[ -x "$zeko" ] || { echo "no zeko at $zeko (build first)" >&2; exit 1; }

tmp=$(mktemp -d)
pid=""
. "$(dirname "$0")/../tests/x11/private_xvfb.sh"
cleanup() {
    [ -n "$pid" ] && { kill "$pid" 2>/dev/null || true; }
    private_xvfb_stop
    rm -rf "$tmp"
}
trap cleanup EXIT

if [ -n "$side" ]; then
    # A white root: a window counts as drawn once it shows two colours. Wide
    # enough for the 16 characters of the hundredths form at Size 100: a
    # window is cut at the screen's edge, and cut-off digits cost nothing.
    private_xvfb_start "$tmp" 3840x2160x24 +extension RANDR +extension MIT-SHM -wr ||
        { echo "no private X server" >&2; exit 1; }
    private_openbox_start "$tmp"
    /usr/bin/python3 "$(dirname "$0")/measure_x11_side.py" "$build" "$secs" "${3:-5}" "${4:-1}" ${5:+"$5"}
    exit $?
fi
private_xvfb_start "$tmp" 1920x1080x24 +extension RANDR || { echo "no private X server" >&2; exit 1; }
private_openbox_start "$tmp"

# Settings: the defaults of a first start (clock form, days to seconds,
# four leading digits, counting up since 1 January 2000), no settings window,
# no time synchronisation; $1 = 1 shows hundredths.
write_settings() {
    local t="$1/quimo_settings.dbf" r c
    "$zeko" dbf create "$t" 30 20 150 >/dev/null
    local rows=(
        "CountUp|1|1" "Destination|730120|0" "24h|0" "stop after finished|0" "CountUpTime|43200"
        "CountUpStopMode|0|0" "Textcolor|ff0000|000000" "Coordinates|50|5|0" "Border/Offset|0|000000|2|2"
        "WindowOnStart|0" "AlwaysOnTop/Fullscreen|0|0|0|0" "Autostart|0" "StayOnDesktop|0" "Size|25"
        "Colors|ff0000|330000" "Contrast|80" "Format|1|1|1|1|1|$2|4|0|1|0|0|8|3" "GraphicProgram|"
        "Offset|0|0" "Language|0" "SyncTime|0" "Action|0|0|0|||QUIMO" "ColonBlink|1")
    for r in "${!rows[@]}"; do
        IFS='|' read -r -a cells <<<"${rows[$r]}"
        for c in "${!cells[@]}"; do "$zeko" dbf set "$t" "$r" "$c" "${cells[$c]}" >/dev/null; done
    done
}

cpu_ns() { cat /proc/"$pid"/task/*/schedstat | awk '{ s += $1 } END { printf "%d", s }'; }
wakeups() { cat /proc/"$pid"/task/*/status | awk '/^voluntary_ctxt_switches/ { s += $2 } END { print s }'; }

status=0
# run NAME HUNDREDTHS TARGET_PERCENT
run() {
    local dir="$tmp/$1"
    mkdir -p "$dir"
    cp -r "$program"/. "$dir"/
    rm -f "$dir/quimo.log" "$dir/quimo_settings.dbf" "$dir/quimo_bg_intern.bmp"
    write_settings "$dir" "$2"
    QUIMO_TIME_URL="http://127.0.0.1:9/" "$dir/quimo" >"$dir/output.txt" 2>&1 &
    pid=$!
    for _ in $(seq 200); do grep -q mainloop "$dir/quimo.log" 2>/dev/null && break; sleep 0.05; done
    sleep 1  # the first draws and the settling of the window
    local t0 w0 l0 start t1 w1 l1 end hwm
    t0=$(cpu_ns); w0=$(wakeups); l0=$(stat -c %s "$dir/quimo.log"); start=$(date +%s.%N)
    sleep "$secs"
    if ! kill -0 "$pid" 2>/dev/null; then
        echo "$1: quimo ended early:"; cat "$dir/output.txt"; status=1; pid=""; return
    fi
    t1=$(cpu_ns); w1=$(wakeups); l1=$(stat -c %s "$dir/quimo.log"); end=$(date +%s.%N)
    hwm=$(awk '/^VmHWM:/ {print $2}' "/proc/$pid/status")
    kill -TERM "$pid"
    wait "$pid" || true
    pid=""
    awk -v name="$1" -v t="$((t1 - t0))" -v w="$((w1 - w0))" -v s="$start" -v e="$end" -v hwm="$hwm" \
        -v target="$3" -v grew="$((l1 - l0))" 'BEGIN {
        cpu = t / 1e9; wall = e - s; pct = 100 * cpu / wall
        printf "%-10s wall %.1f s, cpu %.3f s, %.3f %% of one core (target %s %%), %.0f wakeups/s, peak RSS %.1f MB (target 15 MB), log grew %d bytes\n",
            name, wall, cpu, pct, target, w / wall, hwm / 1024, grew
        exit (grew > 0) ? 1 : (pct >= target || hwm >= 15 * 1024) ? 2 : 0
    }' || { r=$?; [ "$r" -gt "$status" ] && status=$r; true; }
}

run default 0 0.25
run hundredths 1 2
exit "$status"
