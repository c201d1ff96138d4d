#!/bin/bash
# The heavy libraries (HTTP, sound, mixer, system fonts, JPEG, GIF) are opened
# when a feature first needs them: neither the timer nor the zeko tool names
# one as a load-time dependency, and a first start (timer and settings window
# shown, no sound, no time synchronisation) maps none of them.
set -u
. "$(dirname "$0")/quimo_proc.sh"
test_setup
heavy="libcurl libSDL2 libSDL2_mixer libasound libfontconfig libfreetype libjpeg libgif"

for bin in "${ZE_PROGRAM_DIR:?}/quimo" "${ZE_TOOLS_DIR:?}/zeko"; do
    needed=$(readelf -d "$bin" | grep '(NEEDED)')
    [ -n "$needed" ] || { fail "no dynamic section in $bin"; continue; }
    for lib in $heavy; do
        grep -q "\[$lib[.-]" <<<"$needed" && fail "$bin needs $lib at load"
    done
done

cp -r "$ZE_PROGRAM_DIR"/. "$tmp"/
rm -f "$tmp/quimo.log" "$tmp/quimo_settings.dbf"
(cd "$tmp" && ZE_PLATFORM=headless QUIMO_TIME_URL="http://127.0.0.1:9/" exec $guard ./quimo) >"$tmp/out.txt" 2>&1 &
pid=$!
if wait_log "$tmp/quimo.log" "mainloop"; then
    sleep 1.5   # a few display wakes: whatever showing the time needs is open by now
    maps=$(cat "/proc/$pid/maps")
    for lib in $heavy; do
        grep -q "/$lib[.-][^/]*\.so" <<<"$maps" && fail "the running timer maps $lib"
    done
else
    fail "no start: $(head -5 "$tmp/out.txt")"
fi
kill -TERM "$pid" && wait_gone "$pid" && pid=""
[ $fails -eq 0 ] && echo "no lazily opened library is mapped or a load-time dependency"
exit $fails
