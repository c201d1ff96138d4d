#!/bin/bash
# Starts (or stops) Xvfb with openbox on a free display for the x11 tests.
# The state folder records the display and the process ids.
#   xvfb_fixture.sh start STATE   |   xvfb_fixture.sh stop STATE
# Several build trees may start a fixture at the same time: Xvfb's own lock
# file decides who gets a display, and the loser tries the next number.
set -u
cmd=$1; state=$2
. "$(dirname "$0")/x11_wait.sh"

gone() { ! kill -0 "$1" 2>/dev/null; }

stop() {
  for f in "$state"/*.pid; do
    [ -f "$f" ] || continue
    pid=$(cat "$f")
    kill "$pid" 2>/dev/null
    ZE_X11_WAIT=5 wait_for "process $pid to end" gone "$pid" || kill -9 "$pid" 2>/dev/null
  done
  rm -rf "$state"
}

if [ "$cmd" = stop ]; then
  stop
  exit 0
fi

[ -d "$state" ] && stop
mkdir -p "$state"
started=""
for n in $(seq 90 140); do
  [ -e /tmp/.X$n-lock ] && continue
  # -noreset: the probe below is the only client at first, and a server
  # resetting after it leaves would refuse openbox for a moment.
  Xvfb :$n -screen 0 1920x1080x24 -nolisten tcp -noreset +extension RANDR >"$state/xvfb.log" 2>&1 &
  pid=$!
  # Generous waits: several engineers build at once on two cores.
  # A server that ended lost the display to someone else: try the next.
  accepts() { kill -0 $pid 2>/dev/null || return 125; [ -e /tmp/.X11-unix/X$n ] && DISPLAY=:$n xdpyinfo >/dev/null 2>&1; }
  wait_for "Xvfb on :$n to accept clients" accepts && { started=$n; break; }
  kill $pid 2>/dev/null
done
if [ -z "$started" ]; then
  echo "no free display for Xvfb" >&2
  exit 1
fi
echo $pid > "$state/xvfb.pid"
echo ":$started" > "$state/display"
DISPLAY=:$started openbox --sm-disable >"$state/openbox.log" 2>&1 &
echo $! > "$state/openbox.pid"
# Wait until openbox manages the screen (it sets _NET_SUPPORTING_WM_CHECK).
manages() { DISPLAY=:$started xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
wait_for "openbox to manage the screen of :$started" manages &&
  DISPLAY=:$started wait_for "openbox on :$started to take a window in" wm_takes_windows && exit 0
echo "openbox did not start; its output:" >&2
tail -20 "$state/openbox.log" >&2
exit 1
