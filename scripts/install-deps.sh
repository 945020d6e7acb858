#!/usr/bin/env bash
# Installs the Debian packages the builds and tests need, only those missing.
set -euo pipefail
pkgs=(build-essential cmake ninja-build pkg-config
      googletest libgtest-dev libgmock-dev libbenchmark-dev
      mingw-w64 gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix
      wine wine64 xvfb xauth
      ffmpeg dvdauthor mpeg2dec mjpegtools libdvdread-dev liba52-0.7.4-dev dpkg-dev
      clang libclang-rt-14-dev clang-format fonts-wine)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" = 0 ] || sudo=sudo
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
