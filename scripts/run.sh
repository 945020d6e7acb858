#!/usr/bin/env bash
# Builds Kestrelux.exe and runs it under Wine.
#
#   bash scripts/run.sh [PATH]          the editor on PATH (a DVD folder, a
#                                       .vob or .ifo file, or a project);
#                                       the sample disc's VIDEO_TS without one
#   bash scripts/run.sh --check [PATH]  imports through the end-to-end driver,
#                                       saves screenshots of the main window
#                                       and the merge dialog, and closes
#
# The sample disc is made when missing (build/fixtures, the tests' cache).
# Without a display an Xvfb server is started for the run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
root=$PWD
check=0
target=""
for arg in "$@"; do
  case "$arg" in
    --check) check=1 ;;
    *) target=$arg ;;
  esac
done

jobs=$(nproc)
cmake -S . -B build/windows -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake >/dev/null
fixtures=$(sed -n 's/^KX_FIXTURE_DIR:PATH=//p' build/windows/CMakeCache.txt)
cmake --build build/windows -j"$jobs" --target Kestrelux kx_app_driver

if [ -z "$target" ]; then
  if [ ! -f "$fixtures/ntscmenu/VIDEO_TS/VIDEO_TS.IFO" ]; then
    echo "Making the sample disc in $fixtures ..."
    bash tests/fixtures/make_fixtures.sh "$fixtures" ntscmenu
  fi
  target="$fixtures/ntscmenu/VIDEO_TS"
fi
target=$(cd "$(dirname "$target")" && pwd)/$(basename "$target")

if [ -z "${DISPLAY:-}" ]; then
  display=:$((90 + RANDOM % 100))
  echo "No display: starting Xvfb on $display"
  Xvfb "$display" -screen 0 1280x1024x24 >/dev/null 2>&1 &
  xvfb=$!
  trap 'kill $xvfb' EXIT
  export DISPLAY=$display
fi

win() { printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"; }
program="$root/build/windows/DvdGui/Kestrelux.exe"
work="$root/build/run"
mkdir -p "$work"
if [ "$check" = 1 ]; then
  driver="$root/build/windows/tests/appdriver/kx_app_driver.exe"
  bash cmake/wine-run.sh "$driver" check "$(win "$program")" "$(win "$work")" "$(win "$target")"
  echo "Log: $work/kestrelux.log and $work/log-pane.txt"
  echo "Screenshots: $(dirname "$driver")/app_check_main.png, $(dirname "$driver")/app_check_merge.png"
else
  cd "$work"
  bash "$root/cmake/wine-run.sh" "$program" "$(win "$target")"
fi
