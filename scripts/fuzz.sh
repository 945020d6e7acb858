#!/usr/bin/env bash
# Builds the fuzzers of the project loader and of the IFO reader with clang
# and libFuzzer, replays the committed regression corpora, then fuzzes each
# for half of a bounded time: project loading from the fixture discs stored
# as projects, disc reading from the fixture discs' IFO files.
#
#   scripts/fuzz.sh [SECONDS]        (default 60; 0 replays the corpora only)
#
# KX_FUZZ_DIR names the build folder (default build/fuzz), KX_FIXTURE_DIR the
# fixture cache (default build/fixtures). Inputs that fail are kept in
# <build folder>/artifacts; a fixed one belongs in tests/fuzz/corpus (project
# streams) or tests/fuzz/ifo-corpus (IFO inputs: a first byte that is even
# for VIDEO_TS.IFO and odd for VTS_01_0.IFO, then the file's bytes).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
dir=${KX_FUZZ_DIR:-build/fuzz}
fixtures=${KX_FIXTURE_DIR:-$PWD/build/fixtures}
corpus=tests/fuzz/corpus
ifo_corpus=tests/fuzz/ifo-corpus

cmake -S tests/fuzz -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$dir" -j"$(nproc)"
fuzzer=$dir/kx_project_fuzzer
ifo_fuzzer=$dir/kx_ifo_fuzzer

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# One allocation above this many megabytes is a count trusted beyond the
# stream; the fuzzer's inputs stay far smaller.
limits=(-rss_limit_mb=2048 -malloc_limit_mb=64 -timeout=30)

echo "== replaying $corpus"
"$fuzzer" "${limits[@]}" "$corpus"/*
echo "== replaying $ifo_corpus"
"$ifo_fuzzer" "${limits[@]}" "$ifo_corpus"/*
[ "$seconds" -gt 0 ] || exit 0

bash tests/fixtures/make_fixtures.sh "$fixtures" >/dev/null
seeds=$dir/seeds work=$dir/work artifacts=$dir/artifacts
ifo_seeds=$dir/ifo-seeds ifo_work=$dir/ifo-work
mkdir -p "$seeds" "$work" "$artifacts" "$ifo_seeds" "$ifo_work"
"$dir/kx_project_seeds" "$fixtures" "$seeds" pal1 ntscmenu twovts cmdtable
for disc in pal1 ntscmenu twovts cmdtable; do
  { printf '\x00'; cat "$fixtures/$disc/VIDEO_TS/VIDEO_TS.IFO"; } >"$ifo_seeds/$disc-vmg"
  { printf '\x01'; cat "$fixtures/$disc/VIDEO_TS/VTS_01_0.IFO"; } >"$ifo_seeds/$disc-vts1"
done

status=0
project_seconds=$((seconds / 2))
echo "== fuzzing project loads for ${project_seconds}s (log: $dir/fuzz.log)"
"$fuzzer" "${limits[@]}" -max_total_time="$project_seconds" -max_len=65536 -print_final_stats=1 \
  -artifact_prefix="$artifacts/" "$work" "$seeds" "$corpus" >"$dir/fuzz.log" 2>&1 || status=$?
# The progress lines run to thousands; the end holds the report of a failure
# or the final statistics.
tail -n 60 "$dir/fuzz.log"
[ "$status" -eq 0 ] || exit "$status"

# The reader's other files are those of the menu disc, whose VOBs the IFO
# inputs of every disc then describe rightly or wrongly.
echo "== fuzzing IFO reads for $((seconds - project_seconds))s (log: $dir/ifo-fuzz.log)"
KX_IFO_FUZZ_DISC="$fixtures/ntscmenu/VIDEO_TS" "$ifo_fuzzer" "${limits[@]}" \
  -max_total_time="$((seconds - project_seconds))" -max_len=65536 -print_final_stats=1 \
  -artifact_prefix="$artifacts/ifo-" "$ifo_work" "$ifo_seeds" "$ifo_corpus" >"$dir/ifo-fuzz.log" 2>&1 || status=$?
tail -n 60 "$dir/ifo-fuzz.log"
exit "$status"
