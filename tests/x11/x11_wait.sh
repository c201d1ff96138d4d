# Sourced by the x11 test scripts: one way to wait for a condition.
#   wait_for WHAT COMMAND...  runs COMMAND every 0.05 s until it succeeds, at
#       most ZE_X11_WAIT seconds (default 30: the machine may be loaded by other
#       builds); on time-out it says on stderr what it waited for and returns 1.
# A condition that can never hold any more (the program ended) should return
# 125 from COMMAND (not 2, which grep uses for a file not there yet): the
# wait stops at once and returns 125.
wait_for() {
    local what=$1 rc
    shift
    local end=$((SECONDS + ${ZE_X11_WAIT:-30}))
    while :; do
        "$@"
        rc=$?
        [ $rc = 0 ] && return 0
        [ $rc = 125 ] && return 125
        if [ $SECONDS -ge $end ]; then
            echo "timed out after ${ZE_X11_WAIT:-30} s waiting for $what" >&2
            return 1
        fi
        sleep 0.05
    done
}

# dump_stacks PID [WHAT]: every thread's stack of a process that did not
# answer in time (gdb in batch mode), printed before the test kills it, so
# that a hang can be read from the test log.
dump_stacks() {
    kill -0 "$1" 2>/dev/null || return 0
    echo "--- stacks of ${2:-process} $1 (it did not answer in time)"
    timeout 60 gdb -p "$1" -batch -nx -ex 'set pagination off' -ex 'thread apply all bt' 2>&1 |
        grep -v -e '^\[New LWP' -e '^warning:' -e 'libthread_db' -e '^Using host'
    echo "--- end of stacks"
}

# wm_takes_windows: openbox names itself on the root before its event loop
# runs, and a window mapped in between is never managed (it stays unmapped
# for good). True when a probe window mapped now is shown within a few
# seconds; use it with wait_for, which then maps another probe.
wm_takes_windows() {
    local probe ok=1
    xclock -geometry 16x16+0+0 -title quimo-wm-probe >/dev/null 2>&1 &
    probe=$!
    for _ in $(seq 60); do
        xwininfo -name quimo-wm-probe 2>/dev/null | grep -q IsViewable && { ok=0; break; }
        sleep 0.05
    done
    kill "$probe" 2>/dev/null
    wait "$probe" 2>/dev/null
    for _ in $(seq 100); do xwininfo -name quimo-wm-probe >/dev/null 2>&1 || break; sleep 0.05; done
    return $ok
}
