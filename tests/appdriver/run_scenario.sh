#!/usr/bin/env bash
# One end-to-end case: runs kx_app_driver's scenario under Wine on a private
# copy of the sample disc, then checks what the program wrote with the
# native build's kx_ifodump (against the engine's own export of the disc by
# kx_export_driver) and with ffmpeg (against the source's frames).
#
#   run_scenario.sh SCENARIO DRIVER PROGRAM FIXTURES NATIVE_BUILD WORK
set -euo pipefail
scenario=$1 driver=$2 program=$3 fixtures=$4 native=$5 work=$6
root=$(cd "$(dirname "$0")/../.." && pwd)
disc=ntscmenu

rm -rf "$work"
mkdir -p "$work"
cp -r "$fixtures/$disc" "$work/src"
rm -rf "$work/src/packets"

win() { printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"; }

ifodump="$native/tests/dvdread/kx_ifodump"
engine="$native/tests/driver/kx_export_driver"
if [ "$scenario" = stored ]; then
  # the engine stores the project with its own (native) path of the source
  if [ ! -x "$engine" ]; then
    echo "skipped: no kx_export_driver in $native (build the native tree first)"
    exit 0
  fi
  "$engine" "$work/src/VIDEO_TS" --edit hide:vts1:1 --store "$work/edited.kxp" >/dev/null
fi

bash "$root/cmake/wine-run.sh" "$driver" "$scenario" "$(win "$program")" "$(win "$work")" "$(win "$work/src/VIDEO_TS")"

dump() { "$ifodump" "$1" | grep -v '^folder'; }
title_sets() { find "$1" -maxdepth 1 -iname 'VTS_*_0.IFO' | wc -l; }

case "$scenario" in
  import|import-parent)
    if [ ! -x "$ifodump" ] || [ ! -x "$engine" ]; then
      echo "skipped: no kx_ifodump or kx_export_driver in $native (build the native tree first)"
    else
      "$engine" "$work/src/VIDEO_TS" --export "$work/engine" >/dev/null
      diff <(dump "$work/engine") <(dump "$work/export") >/dev/null ||
        { echo "FAIL: kx_ifodump of the export differs from the engine's export"; exit 1; }
      echo "ok: kx_ifodump of the export equals the engine's export"
      for f in "$work"/engine/*.VOB; do
        cmp -s "$f" "$work/export/$(basename "$f")" || { echo "FAIL: $(basename "$f") differs"; exit 1; }
      done
      echo "ok: every VOB equals the engine's"
    fi
    if command -v ffmpeg >/dev/null; then
      frames() { ffmpeg -v error -i "concat:$(ls "$1"/VTS_01_[1-9].VOB | paste -sd'|')" -map 0:v -f framemd5 - | grep -v '^#'; }
      [ "$(frames "$work/src/VIDEO_TS")" = "$(frames "$work/export")" ] ||
        { echo "FAIL: the export's frames decode differently"; exit 1; }
      echo "ok: the export's frames decode as the source's"
    else
      echo "skipped: no ffmpeg"
    fi
    ;;
  projects)
    # saved and reopened, from the recent-file list and with the source
    # moved, the project exports the same bytes as the import
    for again in export2 export3; do
      diff -r "$work/export1" "$work/$again" >/dev/null ||
        { echo "FAIL: $again differs from the export of the import"; exit 1; }
      echo "ok: $again equals the export of the import"
    done
    ;;
  stored)
    if [ -x "$ifodump" ]; then
      # the program bypasses hidden parts on export by default
      "$engine" --load "$work/edited.kxp" --op bypass-hidden --export "$work/engine" >/dev/null
      diff <(dump "$work/engine") <(dump "$work/export") >/dev/null ||
        { echo "FAIL: kx_ifodump of the export differs from the engine's export of the project"; exit 1; }
      echo "ok: kx_ifodump of the export equals the engine's export of the project"
    fi
    ;;
  merge)
    a=$(title_sets "$work/src/VIDEO_TS")
    b=$(title_sets "$work/merged")
    [ "$b" -eq $((a + a + 1)) ] || { echo "FAIL: the merged export has $b title sets, not $((a + a + 1))"; exit 1; }
    echo "ok: the merged export has a + b + 1 = $b title sets"
    if [ -x "$ifodump" ]; then
      "$ifodump" "$work/merged" >/dev/null || { echo "FAIL: kx_ifodump cannot read the merged export"; exit 1; }
      echo "ok: kx_ifodump reads the merged export"
    fi
    ;;
esac
