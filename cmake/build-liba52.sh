#!/usr/bin/env bash
# Builds liba52 for the Windows build from Debian's a52dec source package:
#
#   build-liba52.sh CACHE_DIR OUT_DIR C_COMPILER
#
# The source package is fetched once into CACHE_DIR (shared by the build
# folders, like the fixtures; a lock keeps two builds from fetching at once),
# unpacked with Debian's patches into OUT_DIR/src and configured as a static
# library for the compiler's target. OUT_DIR receives liba52.a and
# include/a52dec/a52.h, the layout of Debian's own liba52-0.7.4-dev.
set -euo pipefail
cache=$1 out=$2 cc=$3
host=$("$cc" -dumpmachine)

mkdir -p "$cache" "$out"
exec 9>"$cache/.lock"
flock 9
if ! ls "$cache"/a52dec_*.dsc >/dev/null 2>&1; then
  (cd "$cache" && apt-get source --download-only a52dec) >"$out/fetch.log" 2>&1 || {
    cat "$out/fetch.log" >&2
    echo "build-liba52: apt-get source a52dec failed (scripts/install-deps.sh adds the deb-src entries)" >&2
    exit 1
  }
fi
dsc=$(ls "$cache"/a52dec_*.dsc | head -n 1)
rm -rf "$out/src"
dpkg-source --no-check -x "$dsc" "$out/src" >"$out/unpack.log"
exec 9>&-

cd "$out/src"
# The package's configure would define inline as a bare always_inline
# attribute, which turns the mingw-w64 headers' extern inline functions into
# definitions in every object; give it the compiler's own keyword instead.
CC=$cc ac_cv_c_inline=__inline__ ./configure --host="$host" --disable-shared --enable-static >"$out/configure.log" 2>&1 || {
  tail -n 30 "$out/configure.log" >&2; exit 1; }
make -C liba52 >"$out/make.log" 2>&1 || { tail -n 30 "$out/make.log" >&2; exit 1; }
mkdir -p "$out/include/a52dec"
cp include/a52.h "$out/include/a52dec/"
cp liba52/.libs/liba52.a "$out/liba52.a"
