#!/usr/bin/env bash
# Builds the project-stream and audio-player fuzzers with clang and libFuzzer,
# replays the committed regression corpus, then fuzzes project loading from
# the fixture discs stored as projects and the audio player from the fixture
# discs' first VOB sectors, sharing the bounded time (two thirds and one third).
#
#   scripts/fuzz.sh [SECONDS]        (default 60; 0 replays the corpus only)
#
# KX_FUZZ_DIR names the build folder (default build/fuzz), KX_FIXTURE_DIR the
# fixture cache (default build/fixtures). Inputs that fail are kept in
# <build folder>/artifacts; a fixed one belongs in tests/fuzz/corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
dir=${KX_FUZZ_DIR:-build/fuzz}
fixtures=${KX_FIXTURE_DIR:-$PWD/build/fixtures}
corpus=tests/fuzz/corpus

cmake -S tests/fuzz -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$dir" -j"$(nproc)"
fuzzer=$dir/kx_project_fuzzer

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# One allocation above this many megabytes is a count trusted beyond the
# stream; the fuzzer's inputs stay far smaller.
limits=(-rss_limit_mb=2048 -malloc_limit_mb=64 -timeout=30)

echo "== replaying $corpus"
"$fuzzer" "${limits[@]}" "$corpus"/*
[ "$seconds" -gt 0 ] || exit 0

bash tests/fixtures/make_fixtures.sh "$fixtures" >/dev/null
seeds=$dir/seeds work=$dir/work artifacts=$dir/artifacts
mkdir -p "$seeds" "$work" "$artifacts"
"$dir/kx_project_seeds" "$fixtures" "$seeds" pal1 ntscmenu twovts cmdtable

audio_seconds=$((seconds / 3))
seconds=$((seconds - audio_seconds))
echo "== fuzzing project loads for ${seconds}s (log: $dir/fuzz.log)"
status=0
"$fuzzer" "${limits[@]}" -max_total_time="$seconds" -max_len=65536 -print_final_stats=1 \
  -artifact_prefix="$artifacts/" "$work" "$seeds" "$corpus" >"$dir/fuzz.log" 2>&1 || status=$?
# The progress lines run to thousands; the end holds the report of a failure
# or the final statistics.
tail -n 60 "$dir/fuzz.log"
[ "$status" = 0 ] || exit "$status"

audio_seeds=$dir/audio-seeds audio_work=$dir/audio-work
mkdir -p "$audio_seeds" "$audio_work"
for disc in pal1 twovts; do
  for vob in "$fixtures/$disc"/VIDEO_TS/VTS_0?_1.VOB; do
    head -c 65536 "$vob" >"$audio_seeds/$disc-$(basename "$vob" .VOB)"
  done
done
[ "$audio_seconds" -gt 0 ] || exit 0
echo "== fuzzing the audio player for ${audio_seconds}s (log: $dir/audio-fuzz.log)"
"$dir/kx_audio_fuzzer" "${limits[@]}" -max_total_time="$audio_seconds" -max_len=65536 -print_final_stats=1 \
  -artifact_prefix="$artifacts/" "$audio_work" "$audio_seeds" >"$dir/audio-fuzz.log" 2>&1 || status=$?
tail -n 60 "$dir/audio-fuzz.log"
exit "$status"
