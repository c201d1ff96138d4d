#!/bin/bash
# The installed layout: cmake --install into a temporary prefix, the desktop
# entry and the icons; the installed binary keeps the user's files in the
# configuration folder (never in the prefix), applies example 9 from the
# share directory at the first start and writes its autostart entry with the
# installed path and icon. Then the Debian package: its dependencies, and a
# binary that runs headless from the unpacked tree.
set -u
. "$(dirname "$0")/quimo_proc.sh"
test_setup
ZEKO="$ZE_TOOLS_DIR/zeko"
prefix="$tmp/usr"

cmake --install "$ZE_BUILD_DIR" --prefix "$prefix" >"$tmp/install.txt" 2>&1 || { cat "$tmp/install.txt"; exit 1; }
for f in bin/quimo bin/zeko share/quimo/7seg/7seg_003_0100.pcx share/quimo/7seg/7seg_001_3000.pcx \
         share/quimo/examples/s9.dbf share/quimo/sounds/beep.wav share/applications/quimo.desktop; do
    [ -f "$prefix/$f" ] || fail "$f not installed"
done
for f in share/quimo/quimo share/quimo/quimo.log share/quimo/quimo_settings.dbf share/quimo/scanlineoffset.txt; do
    [ -e "$prefix/$f" ] && fail "$f installed"
done
[ -z "$(find "$prefix" -mindepth 1 -maxdepth 1 ! -name bin ! -name share)" ] || fail "installed beside bin and share: $(ls "$prefix")"
desktop-file-validate "$prefix/share/applications/quimo.desktop" || fail "desktop-file-validate"
grep -qx 'Exec=quimo' "$prefix/share/applications/quimo.desktop" || fail "Exec line"

# Every hicolor size, a real picture: square, of its size, with transparent
# corners, the dark face and red lit segments.
/usr/bin/python3 - "$prefix/share/icons/hicolor" <<'PY' || fail "icons"
import sys
from PIL import Image
bad = 0
for s in (16, 22, 24, 32, 48, 64, 128, 256):
    im = Image.open(f"{sys.argv[1]}/{s}x{s}/apps/quimo.png").convert("RGBA")
    px = list(im.getdata())
    red = sum(1 for r, g, b, a in px if a == 255 and r > 200 and g < 90)
    dark = sum(1 for r, g, b, a in px if a == 255 and max(r, g, b) < 60)
    if im.size != (s, s) or px[0][3] != 0 or red < s * s // 40 or dark < s * s // 4:
        print(f"icon {s}: size {im.size}, corner alpha {px[0][3]}, red {red}, dark {dark}")
        bad = 1
sys.exit(bad)
PY

# The installed copy, run headless as a new user; the prefix is not written.
export HOME="$tmp/home"
unset XDG_CONFIG_HOME
mkdir -p "$HOME"
export ZE_PLATFORM=headless QUIMO_TIME_URL="http://127.0.0.1:9/"
conf="$HOME/.config/quimo"
touch "$tmp/stamp"
run_once() {  # COUNT: the how-manyth start in this folder
    (cd / && exec $guard "$prefix/bin/quimo") >>"$tmp/out.txt" 2>&1 &
    pid=$!
    wait_log "$conf/quimo.log" mainloop "$1" || fail "start $1 did not reach its main loop"
    kill -TERM "$pid"
    wait_gone "$pid" || fail "start $1: exit status $?"
    pid=""
}
run_once 1
for f in quimo.log quimo_settings.dbf scanlineoffset.txt; do
    [ -f "$conf/$f" ] || fail "$f not in $conf"
done
grep -q 'set example #9' "$conf/quimo.log" || fail "example 9 not applied at the first start"
grep -q '7seg_001_' "$conf/quimo.log" || fail "no digit set loaded"
grep -q 'cannot read' "$conf/quimo.log" && fail "a data file was not found: $(grep 'cannot read' "$conf/quimo.log")"
[ -z "$(find "$prefix" -newer "$tmp/stamp")" ] || fail "written into the prefix: $(find "$prefix" -newer "$tmp/stamp")"

# A configuration folder that cannot be made: said, and no files elsewhere.
touch "$tmp/plainfile"
(cd "$tmp" && XDG_CONFIG_HOME="$tmp/plainfile/cfg" $guard "$prefix/bin/quimo") >"$tmp/nodir.txt" 2>&1
[ $? = 1 ] && grep -q "cannot create $tmp/plainfile/cfg/quimo" "$tmp/nodir.txt" || fail "unmakeable folder: $(cat "$tmp/nodir.txt")"
[ -e "$tmp/quimo.log" ] || [ -e "$tmp/quimo_settings.dbf" ] && fail "files written into the start directory"

# Autostart on: the second run keeps the settings and writes the entry.
row=$(($("$ZEKO" dbf dump "$conf/quimo_settings.dbf" | grep -n '^Autostart' | cut -d: -f1) - 2))
"$ZEKO" dbf set "$conf/quimo_settings.dbf" "$row" 1 1 >/dev/null || fail "dbf set"
run_once 2
[ "$(grep -c 'set example #9' "$conf/quimo.log")" = 1 ] || fail "example 9 applied again"
entry="$HOME/.config/autostart/QUIMO.desktop"
grep -qx "Exec=$prefix/bin/quimo" "$entry" 2>/dev/null || fail "autostart Exec: $(cat "$entry" 2>&1)"
grep -qx 'Icon=quimo' "$entry" || fail "autostart Icon"
desktop-file-validate "$entry" || fail "autostart entry does not validate"
"$ZEKO" dbf dump "$conf/quimo_settings.dbf" | grep -q $'^Autostart\t1' || fail "Autostart not kept"

# The Debian package.
if (cd "$ZE_BUILD_DIR" && cpack -G DEB -B "$tmp/pkg") >"$tmp/cpack.txt" 2>&1; then
    deb=$(ls "$tmp"/pkg/quimo_*.deb)
    dpkg-deb -I "$deb" >"$tmp/info.txt" || fail "dpkg-deb -I"
    for lib in libx11 libcurl libfontconfig libjpeg libgif libstdc; do
        grep -i '^ Depends:' "$tmp/info.txt" | grep -q "$lib" || fail "Depends lacks $lib: $(grep Depends "$tmp/info.txt")"
    done
    dpkg -x "$deb" "$tmp/root" || fail "dpkg -x"
    for f in usr/bin/quimo usr/bin/zeko usr/share/quimo/examples/s9.dbf usr/share/applications/quimo.desktop \
             usr/share/icons/hicolor/256x256/apps/quimo.png; do
        [ -f "$tmp/root/$f" ] || fail "$f not in the package"
    done
    export HOME="$tmp/home2"
    mkdir -p "$HOME"
    conf="$HOME/.config/quimo"
    prefix="$tmp/root/usr"
    run_once 1
    grep -q 'set example #9' "$conf/quimo.log" || fail "the unpacked binary did not find its data"
else
    cat "$tmp/cpack.txt"
    fail "cpack -G DEB"
fi

echo "$((fails == 0 ? 1 : 0)) passed, $fails failed"
[ $fails = 0 ]
