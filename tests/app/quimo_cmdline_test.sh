#!/bin/bash
# The command line and the start without a display: --help and --version
# answer without a display; an unknown option is reported and the timer runs
# all the same; without a usable X display quimo (and a zeko command that
# needs a window) says so in one line on stderr and ends with 1 within a
# second, while ZE_PLATFORM=headless keeps running.
set -u
. "$(dirname "$0")/quimo_proc.sh"
test_setup
cp -r "$ZE_PROGRAM_DIR"/. "$tmp"/
rm -f "$tmp/quimo.log" "$tmp/quimo_settings.dbf"
cd "$tmp"
export QUIMO_TIME_URL="http://127.0.0.1:9/"

env -u DISPLAY -u ZE_PLATFORM ./quimo --help >help.txt 2>err.txt || fail "--help: status $?"
grep -q '^Usage: quimo' help.txt && grep -q -- '--profile NAME' help.txt && grep -q minys help.txt || fail "usage text: $(cat help.txt)"
env -u DISPLAY -u ZE_PLATFORM LANG=de_DE.UTF-8 ./quimo --help | grep -q '^Aufruf: quimo' || fail "German usage"
[ "$(env -u DISPLAY ./quimo --version)" = "quimo 2.0" ] || fail "--version: $(./quimo --version)"
[ -e quimo.log ] && fail "--help or --version started the timer"

# No display: unset, and one that does not exist.
for display in "" ":97"; do
    start=$(date +%s%N)
    if [ -z "$display" ]; then env -u DISPLAY -u ZE_PLATFORM ./quimo >out.txt 2>err.txt; else
        env -u ZE_PLATFORM DISPLAY=$display ./quimo >out.txt 2>err.txt; fi
    status=$?
    ms=$((($(date +%s%N) - start) / 1000000))
    [ $status = 1 ] || fail "display '$display': status $status"
    [ "$(wc -l <err.txt)" = 1 ] || fail "display '$display': stderr is not one line: $(cat err.txt)"
    grep -q "quimo: .*DISPLAY.*ZE_PLATFORM=headless" err.txt || fail "display '$display': message $(cat err.txt)"
    [ -n "$display" ] && { grep -qF "\"$display\"" err.txt || fail "the display tried is not named: $(cat err.txt)"; }
    [ $ms -lt 1000 ] || fail "display '$display': took $ms ms"
done
env -u DISPLAY -u ZE_PLATFORM "$ZE_TOOLS_DIR/zeko" demo controls >out.txt 2>err.txt
[ $? = 1 ] && grep -q '^zeko: .*DISPLAY' err.txt || fail "zeko demo without a display: $(cat err.txt)"
env -u DISPLAY -u ZE_PLATFORM "$ZE_TOOLS_DIR/zeko" geometry x=10,y=20,xs=30,ys=40 100 100 >/dev/null 2>&1 ||
    fail "a zeko command without a window needs a display"

# An unknown option is reported and ignored; the switch minys is not unknown.
ZE_PLATFORM=headless $guard ./quimo --frobnicate -minys "+ minys" >out.txt 2>err.txt &
pid=$!
wait_log quimo.log mainloop || fail "did not run with an unknown option"
grep -q 'unknown option "--frobnicate" ignored' err.txt || fail "unknown option not reported: $(cat err.txt)"
grep -q minys err.txt && fail "minys reported as unknown"
kill -TERM $pid
wait_gone $pid || fail "status $? at SIGTERM"
pid=""

echo "$((fails == 0 ? 1 : 0)) passed, $fails failed"
[ $fails = 0 ]
