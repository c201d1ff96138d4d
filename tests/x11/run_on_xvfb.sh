#!/bin/bash
# Runs a test command on the display started by xvfb_fixture.sh.
set -u
state=${ZE_XVFB_STATE:?}
[ -f "$state/display" ] || { echo "no X server (the xvfb fixture did not start)" >&2; exit 1; }
export DISPLAY=$(cat "$state/display")
exec "$@"
