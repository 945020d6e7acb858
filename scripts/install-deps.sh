#!/usr/bin/env bash
# Installs the Debian packages the builds and tests need, only those missing.
set -euo pipefail
pkgs=(build-essential cmake ninja-build pkg-config
      googletest libgtest-dev libgmock-dev libbenchmark-dev
      mingw-w64 gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix
      wine wine64 xvfb xauth
      ffmpeg dvdauthor mpeg2dec mjpegtools libdvdread-dev libdvdnav-dev liba52-0.7.4-dev dpkg-dev
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

# Debian's Wine finds the system's fonts through fontconfig only, and
# fontconfig does not know the folder of fonts-wine: without this the themes'
# Marlett glyphs (caption buttons, arrows, check marks) paint as letters.
conf=/etc/fonts/conf.d/09-kestrelux-wine-fonts.conf
if [ ! -f "$conf" ]; then
  sudo=""; [ "$(id -u)" = 0 ] || sudo=sudo
  printf '%s\n' '<?xml version="1.0"?>' '<!DOCTYPE fontconfig SYSTEM "fonts.dtd">' \
    '<fontconfig><dir>/usr/share/wine/fonts</dir></fontconfig>' | $sudo tee "$conf" >/dev/null
  $sudo fc-cache -f >/dev/null
fi

# The Windows build compiles liba52 from Debian's a52dec source package
# (apt-get source), so the system needs source entries for its own suites.
if ! grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  sudo=""; [ "$(id -u)" = 0 ] || sudo=sudo
  . /etc/os-release
  echo "Adding deb-src entries for $VERSION_CODENAME"
  printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s %s-updates\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
    "$VERSION_CODENAME" "$VERSION_CODENAME" | $sudo tee /etc/apt/sources.list.d/kx-deb-src.sources >/dev/null
  $sudo apt-get update -qq
fi
