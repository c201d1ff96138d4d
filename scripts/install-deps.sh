#!/bin/sh
# Installs the Debian packages that building and testing QUIMO need.
# Quiet and quick when everything is present already.
set -e
PKGS="build-essential cmake ninja-build pkg-config git clang \
 libgtest-dev libgmock-dev libbenchmark-dev \
 libx11-dev libxrandr-dev libxext-dev libx11-xcb-dev libxcb-present-dev libxcb-xfixes0-dev \
 libcurl4-openssl-dev libsdl2-mixer-dev libasound2-dev timgm6mb-soundfont lame \
 libjpeg-dev libgif-dev libfontconfig-dev libfreetype-dev \
 xvfb openbox xdotool xclip x11-utils x11-apps xterm trayer \
 faketime imagemagick python3-pil python3-dbfread desktop-file-utils dpkg-dev file \
 ghostscript qpdf poppler-utils \
 fonts-liberation2 xfonts-base procps util-linux xdg-utils cups-client \
 gdb dclock"
missing=""
for p in $PKGS; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
if [ "$(id -u)" != 0 ]; then
  echo "missing packages:$missing (run this script as root to install them)" >&2
  exit 1
fi
echo "installing:$missing"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends $missing >/dev/null
