#!/usr/bin/env bash
# Builds the fuzzers with clang and libFuzzer, replays their committed
# regression corpora, then fuzzes for a bounded time shared between them:
# project loading (a third, seeded with the fixture discs stored as projects),
# disc reading (a third, seeded with the fixture discs' IFO files) and the
# program-stream demultiplexer (a third, seeded with the first sectors of the
# fixture VOB files).
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
demux_corpus=tests/fuzz/demux_corpus
ifo_corpus=tests/fuzz/ifo-corpus

cmake -S tests/fuzz -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$dir" -j"$(nproc)"
fuzzer=$dir/kx_project_fuzzer
demux_fuzzer=$dir/kx_demux_fuzzer
ifo_fuzzer=$dir/kx_ifo_fuzzer

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# One allocation above this many megabytes is a count trusted beyond the
# stream; the fuzzer's inputs stay far smaller.
limits=(-rss_limit_mb=2048 -malloc_limit_mb=64 -timeout=30)

echo "== replaying $corpus"
"$fuzzer" "${limits[@]}" "$corpus"/*
echo "== replaying $demux_corpus"
"$demux_fuzzer" "${limits[@]}" "$demux_corpus"/*
echo "== replaying $ifo_corpus"
"$ifo_fuzzer" "${limits[@]}" "$ifo_corpus"/*
[ "$seconds" -gt 0 ] || exit 0
demux_seconds=$((seconds / 3))
ifo_seconds=$((seconds / 3))
project_seconds=$((seconds - demux_seconds - ifo_seconds))

bash tests/fixtures/make_fixtures.sh "$fixtures" >/dev/null
seeds=$dir/seeds work=$dir/work artifacts=$dir/artifacts
ifo_seeds=$dir/ifo-seeds ifo_work=$dir/ifo-work
mkdir -p "$seeds" "$work" "$artifacts" "$ifo_seeds" "$ifo_work"
"$dir/kx_project_seeds" "$fixtures" "$seeds" pal1 ntscmenu twovts cmdtable
for disc in pal1 ntscmenu twovts cmdtable; do
  { printf '\x00'; cat "$fixtures/$disc/VIDEO_TS/VIDEO_TS.IFO"; } >"$ifo_seeds/$disc-vmg"
  { printf '\x01'; cat "$fixtures/$disc/VIDEO_TS/VTS_01_0.IFO"; } >"$ifo_seeds/$disc-vts1"
done

echo "== fuzzing project loads for ${project_seconds}s (log: $dir/fuzz.log)"
status=0
"$fuzzer" "${limits[@]}" -max_total_time="$project_seconds" -max_len=65536 -print_final_stats=1 \
  -artifact_prefix="$artifacts/" "$work" "$seeds" "$corpus" >"$dir/fuzz.log" 2>&1 || status=$?
# The progress lines run to thousands; the end holds the report of a failure
# or the final statistics.
tail -n 60 "$dir/fuzz.log"
[ "$status" -eq 0 ] || exit "$status"

demux_seeds=$dir/demux_seeds demux_work=$dir/demux_work
mkdir -p "$demux_seeds" "$demux_work"
for vob in "$fixtures"/pal1/VIDEO_TS/VTS_01_1.VOB "$fixtures"/twovts/VIDEO_TS/VTS_02_1.VOB \
  "$fixtures"/ntscmenu/VIDEO_TS/VIDEO_TS.VOB; do
  dd if="$vob" of="$demux_seeds/$(basename "$(dirname "$(dirname "$vob")")")-$(basename "$vob")" \
    bs=2048 count=24 status=none
done
echo "== fuzzing the demultiplexer for ${demux_seconds}s (log: $dir/demux_fuzz.log)"
"$demux_fuzzer" "${limits[@]}" -max_total_time="$demux_seconds" -max_len=65536 -print_final_stats=1 \
  -artifact_prefix="$artifacts/" "$demux_work" "$demux_seeds" "$demux_corpus" >"$dir/demux_fuzz.log" 2>&1 ||
  status=$?
tail -n 60 "$dir/demux_fuzz.log"
[ "$status" -eq 0 ] || exit "$status"

# The reader's other files are those of the menu disc, whose VOBs the IFO
# inputs of every disc then describe rightly or wrongly.
echo "== fuzzing IFO reads for ${ifo_seconds}s (log: $dir/ifo-fuzz.log)"
KX_IFO_FUZZ_DISC="$fixtures/ntscmenu/VIDEO_TS" "$ifo_fuzzer" "${limits[@]}" \
  -max_total_time="$ifo_seconds" -max_len=65536 -print_final_stats=1 \
  -artifact_prefix="$artifacts/ifo-" "$ifo_work" "$ifo_seeds" "$ifo_corpus" >"$dir/ifo-fuzz.log" 2>&1 || status=$?
tail -n 60 "$dir/ifo-fuzz.log"
exit "$status"
