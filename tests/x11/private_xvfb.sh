# Sourced by tests and scripts that need an X server of their own (another
# depth or size, no window manager, or a server they may kill), so the shared
# fixture is not disturbed.
#   private_xvfb_start DIR SCREEN [XVFB_ARGS...]  sets xvfb_pid and exports
#       DISPLAY; returns 1 when the server names no display within 5 s.
#       -displayfd names the display once the server accepts clients.
#   private_openbox_start DIR   openbox on $DISPLAY, waits until it manages
#       the screen; sets openbox_pid.
#   private_xvfb_stop [SIGNAL]  ends openbox and the server (default TERM).
# DIR receives the logs and the display file.
xvfb_pid=""
openbox_pid=""

private_xvfb_start() {
    local dir=$1 screen=$2
    shift 2
    rm -f "$dir/display"
    Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp "$@" 3>"$dir/display" >"$dir/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do [ -s "$dir/display" ] && break; sleep 0.05; done
    [ -s "$dir/display" ] || return 1
    export DISPLAY=":$(head -1 "$dir/display")"
}

private_openbox_start() {
    openbox --sm-disable >"$1/openbox.log" 2>&1 &
    openbox_pid=$!
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        sleep 0.05
    done
    return 0
}

private_xvfb_stop() {
    local p
    for p in $openbox_pid $xvfb_pid; do kill "-${1:-TERM}" "$p" 2>/dev/null || true; done
    openbox_pid=""
    xvfb_pid=""
}
