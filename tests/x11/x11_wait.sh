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
