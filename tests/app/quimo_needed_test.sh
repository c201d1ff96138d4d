#!/bin/bash
# The heavy libraries (HTTP, sound, mixer, system fonts, JPEG, GIF) are opened
# when a feature first needs them: neither the timer nor the zeko tool may
# name one as a load-time dependency, or every start would map it.
set -u
fails=0
for bin in "${ZE_PROGRAM_DIR:?}/quimo" "${ZE_TOOLS_DIR:?}/zeko"; do
    needed=$(readelf -d "$bin" | grep '(NEEDED)')
    [ -n "$needed" ] || { echo "FAIL: no dynamic section in $bin"; fails=$((fails + 1)); continue; }
    for lib in libcurl libSDL2 libSDL2_mixer libasound libfontconfig libfreetype libjpeg libgif; do
        if grep -q "\[$lib[.-]" <<<"$needed"; then
            echo "FAIL: $bin needs $lib at load"
            fails=$((fails + 1))
        fi
    done
done
[ $fails -eq 0 ] && echo "no lazily opened library is a load-time dependency"
exit $fails
