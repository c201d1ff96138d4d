# Sourced by the tests that start quimo copies: waiting for log lines and
# for processes, without fixed sleeps.
#   wait_log FILE TEXT [COUNT]  until FILE holds COUNT (default 1) lines with TEXT
#   wait_gone PID               until the process ended (then its status is in $?)
#   guard                       the prefix that keeps a program off the clock
#   test_setup                  a scratch folder $tmp (removed at exit, with the
#                               process $pid killed) and fail, counting in $fails
guard=""
setpriv --bounding-set=-sys_time true 2>/dev/null && guard="setpriv --bounding-set=-sys_time"

wait_log() {
    local n
    for _ in $(seq 300); do
        n=$(grep -c -- "$2" "$1" 2>/dev/null)
        [ "${n:-0}" -ge "${3:-1}" ] && return 0
        sleep 0.05
    done
    echo "timed out waiting for '$2' in $1" >&2
    return 1
}

wait_gone() {
    for _ in $(seq 300); do
        kill -0 "$1" 2>/dev/null || { wait "$1"; return $?; }
        sleep 0.05
    done
    echo "process $1 did not end" >&2
    return 255
}

test_setup() {
    tmp=$(mktemp -d)
    pid=""
    trap 'if [ -n "$pid" ]; then kill -KILL "$pid" 2>/dev/null; fi; rm -rf "$tmp"' EXIT
    fails=0
    fail() { echo "FAIL: $*"; fails=$((fails + 1)); }
}
