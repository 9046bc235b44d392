#!/bin/sh
# Installs what building and testing need on Debian 12 (run as root).
# Skips the package step when everything is there already.
set -e
packages="cmake ninja-build \
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev \
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev \
  googletest wine wine32:i386 wine64 xvfb xauth x11-apps imagemagick xdotool \
  fonts-wine fonts-wqy-microhei locales icoutils python3 python3-pil"
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    echo "installing:$missing"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    apt-get install -y -q --no-install-recommends $missing
fi
