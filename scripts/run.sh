#!/usr/bin/env bash
# Builds the whole program (Windows build, and the native engine build).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs=$(nproc)
cmake -S . -B build/linux -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/linux -j"$jobs"
cmake -S . -B build/windows -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake >/dev/null
cmake --build build/windows -j"$jobs"
echo
echo "Built (the editor window is not part of the program yet):"
find build/linux build/windows -maxdepth 3 \( -name '*.a' -o -name '*.exe' \) -newer CMakeLists.txt | sort
