#!/usr/bin/env bash
# Runs one Windows executable under Wine with a private prefix in the build
# folder. The first caller initialises the prefix; the others wait for it.
#
# With KX_WINE_ISOLATE set (the tests), each run takes a free slot: a prefix
# of its own (so its own wineserver, desktop and foreground window) and an X
# server of its own. GUI tests drive windows with real input, which goes to
# whichever window has the focus: tests run side by side would otherwise
# type into each other's windows.
set -e
exe="$1"; shift
dir=$(cd "$(dirname "$exe")" && pwd)
root="$dir"
while [ "$root" != "/" ] && [ ! -f "$root/CMakeCache.txt" ]; do root=$(dirname "$root"); done
[ -f "$root/CMakeCache.txt" ] || root="$dir"
export WINEDEBUG=-all
# A crash ends the run at once instead of waiting in the debugger.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
export WINEARCH=win64

prefix="${KX_WINEPREFIX:-$root/wineprefix}"
if [ -n "${KX_WINE_ISOLATE:-}" ]; then
  slot=0
  while :; do
    exec {slotfd}>"$root/.wineslot$slot.lock"
    flock -n "$slotfd" && break
    exec {slotfd}>&-
    slot=$(((slot + 1) % 8))
    [ "$slot" -eq 0 ] && sleep 1
  done
  prefix="$prefix-$slot"

  # -displayfd lets the server pick a free display itself, so that runs of
  # other build trees on the machine cannot race for one.
  displayfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$displayfile" >/dev/null 2>&1 &
  xvfb=$!
  # The slot's wine processes go with its X server, before the next run
  # takes the slot.
  trap 'wineserver -k 2>/dev/null; kill "$xvfb" 2>/dev/null; rm -f "$displayfile"' EXIT
  for _ in $(seq 200); do
    [ -s "$displayfile" ] && break
    sleep 0.05
  done
  [ -s "$displayfile" ] || { echo "wine-run.sh: Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$(cat "$displayfile")"
fi
export WINEPREFIX="$prefix"

(
  flock 9
  if [ ! -f "$WINEPREFIX/.kx-ready" ]; then
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
    touch "$WINEPREFIX/.kx-ready"
  fi
) 9>"$WINEPREFIX.lock"

if [ -n "${KX_WINE_ISOLATE:-}" ]; then
  status=0
  wine "$exe" "$@" || status=$?
  exit "$status"
fi
exec wine "$exe" "$@"
