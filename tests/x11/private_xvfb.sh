# Sourced by tests and scripts that need an X server of their own (another
# depth or size, no window manager, or a server they may kill), so the shared
# fixture is not disturbed.
#   private_xvfb_start DIR SCREEN [XVFB_ARGS...]  sets xvfb_pid and exports
#       DISPLAY; returns 1 when the server names no display within 30 s.
#       -displayfd names the display once the server accepts clients.
#   private_openbox_start DIR   openbox on $DISPLAY, waits until it manages
#       the screen; sets openbox_pid; returns 1 when it does not within 30 s.
#   private_xvfb_stop [SIGNAL]  ends openbox and the server (default TERM).
# DIR receives the logs and the display file.
. "$(dirname "${BASH_SOURCE[0]}")/x11_wait.sh"
xvfb_pid=""
openbox_pid=""

_display_named() { [ -s "$1/display" ] || { kill -0 "$xvfb_pid" 2>/dev/null || return 125; return 1; }; }
_openbox_manages() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

private_xvfb_start() {
    local dir=$1 screen=$2
    shift 2
    rm -f "$dir/display"
    # -noreset: a server that resets whenever its last client leaves refuses
    # a client that connects meanwhile.
    Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset "$@" 3>"$dir/display" >"$dir/xvfb.log" 2>&1 &
    xvfb_pid=$!
    wait_for "Xvfb to name its display" _display_named "$dir" || return 1
    export DISPLAY=":$(head -1 "$dir/display")"
}

private_openbox_start() {
    openbox --sm-disable >"$1/openbox.log" 2>&1 &
    openbox_pid=$!
    wait_for "openbox to manage the screen" _openbox_manages || { tail -20 "$1/openbox.log" >&2; return 1; }
    wait_for "openbox to take a window in" wm_takes_windows || { tail -20 "$1/openbox.log" >&2; return 1; }
}

private_xvfb_stop() {
    local p
    for p in $openbox_pid $xvfb_pid; do kill "-${1:-TERM}" "$p" 2>/dev/null || true; done
    openbox_pid=""
    xvfb_pid=""
}
