#!/usr/bin/env bash
# Runs one Windows executable under Wine with a private prefix in the build
# folder. The first caller initialises the prefix; the others wait for it.
set -e
exe="$1"; shift
dir=$(cd "$(dirname "$exe")" && pwd)
root="$dir"
while [ "$root" != "/" ] && [ ! -f "$root/CMakeCache.txt" ]; do root=$(dirname "$root"); done
[ -f "$root/CMakeCache.txt" ] || root="$dir"
export WINEPREFIX="${KX_WINEPREFIX:-$root/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
(
  flock 9
  if [ ! -f "$WINEPREFIX/.kx-ready" ]; then
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
    touch "$WINEPREFIX/.kx-ready"
  fi
) 9>"$root/.wineprefix.lock"
exec wine "$exe" "$@"
