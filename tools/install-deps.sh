#!/bin/sh
# Installs the Debian packages the build, the tests and the demo need.
# Idempotent and quiet when everything is present. The sound players under
# Wine need ALSA (its output discards the samples in tests) and GStreamer's
# parsers and decoders (WAV, MP3); lame makes the MP3 the tests play. The
# release archive is made with zip and python3, and its guide is rendered
# with chromium to check it. The 64-bit build and its tests use the
# posix-thread MinGW compilers; the 32-bit product uses the win32-thread
# ones (see cmake/mingw-i686.cmake).
set -e
PKGS="g++ g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-win32 wine64 fonts-wine fonts-liberation \
xvfb xauth cmake make googletest imagemagick clang libbenchmark-dev \
lame libasound2 gstreamer1.0-plugins-base gstreamer1.0-plugins-good \
zip unzip python3 chromium"
missing=""
for p in $PKGS; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
SUDO=""
[ "$(id -u)" = 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
