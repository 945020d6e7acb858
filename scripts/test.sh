#!/usr/bin/env bash
# Builds the native (plain and sanitized) and Windows builds and runs every test.
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh || exit 1
jobs=$(nproc)
timeline=""
log=build/test-logs
mkdir -p "$log"

configure_and_build() {  # <dir> <cmake args...>
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null || return 1
  cmake --build "$dir" -j"$jobs" || return 1
  timeline+="built $dir at ${SECONDS}s; "
}

configure_and_build build/linux -DCMAKE_BUILD_TYPE=Debug || exit 1
configure_and_build build/linux-asan -DCMAKE_BUILD_TYPE=Debug -DKX_SANITIZE=ON || exit 1
configure_and_build build/windows -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake || exit 1

passed=0; failed=0
echo "== format"
if bash scripts/check-format.sh; then passed=$((passed + 1)); else failed=$((failed + 1)); fi

run_ctest() {  # <name> <dir> <parallel runs> [wrapper...]
  local name=$1 dir=$2 parallel=$3; shift 3
  echo "== $name tests"
  timeline+="$name tests from ${SECONDS}s; "
  (cd "$dir" && "$@" ctest --output-on-failure -j"$parallel") 2>&1 | tee "$log/$name.txt"
  local line
  line=$(grep -E "tests passed, [0-9]+ tests failed out of" "$log/$name.txt" | tail -1)
  if [ -z "$line" ]; then failed=$((failed + 1)); return; fi
  local total f
  total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
  f=$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$line")
  passed=$((passed + total - f)); failed=$((failed + f))
}

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_ctest linux build/linux "$jobs"
run_ctest linux-asan build/linux-asan "$jobs"
# Each Windows test runs in a Wine prefix and X server of its own; the GUI
# tests wait on windows and timers much of the time, so one more runs at once.
run_ctest windows build/windows $((jobs + 1)) xvfb-run -a -s "-screen 0 1280x1024x24"

# Project loading under libFuzzer for a bounded time; one step in the count.
echo "== fuzz"
timeline+="fuzz from ${SECONDS}s; "
if bash scripts/fuzz.sh 60 2>&1 | tee "$log/fuzz.txt"; then
  passed=$((passed + 1))
else
  failed=$((failed + 1))
fi

# The per-test output above can be long enough to be cut off: repeat what failed.
if [ "$failed" -ne 0 ]; then
  echo "== what failed"
  grep -h -E -A6 ': Failure$|\*\*\*(Failed|Timeout|Exception)|^\[  FAILED  \]' "$log"/*.txt | head -200
fi

echo "Timeline: ${timeline}end at ${SECONDS}s"
echo "Tests: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
