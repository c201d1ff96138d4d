#!/bin/bash
# Starts (or stops) Xvfb with openbox on a free display for the x11 tests.
# The state folder records the display and the process ids.
set -u
cmd=$1; state=$2
if [ "$cmd" = stop ]; then
  for f in "$state"/*.pid; do [ -f "$f" ] && kill "$(cat "$f")" 2>/dev/null; done
  rm -rf "$state"
  exit 0
fi
mkdir -p "$state"
n=90
while [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; do n=$((n + 1)); done
Xvfb :$n -screen 0 1920x1080x24 -nolisten tcp +extension RANDR >"$state/xvfb.log" 2>&1 &
echo $! > "$state/xvfb.pid"
for i in $(seq 1 100); do
  [ -e /tmp/.X11-unix/X$n ] && break
  sleep 0.05
done
echo ":$n" > "$state/display"
DISPLAY=:$n openbox --sm-disable >"$state/openbox.log" 2>&1 &
echo $! > "$state/openbox.pid"
# Wait until openbox manages the screen (it sets _NET_SUPPORTING_WM_CHECK).
for i in $(seq 1 100); do
  DISPLAY=:$n xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && exit 0
  sleep 0.05
done
echo "openbox did not start" >&2
exit 1
