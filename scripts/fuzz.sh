#!/usr/bin/env bash
# Builds the fuzzers with clang and libFuzzer, replays their committed
# regression corpora, then fuzzes for a bounded time shared between them:
# project loading (half, seeded with the fixture discs stored as projects),
# the program-stream demultiplexer and the audio player (a quarter each, both
# seeded with the first sectors of the fixture VOB files).
#
#   scripts/fuzz.sh [SECONDS]        (default 60; 0 replays the corpora only)
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
demux_corpus=tests/fuzz/demux_corpus
video_corpus=tests/fuzz/video_corpus

cmake -S tests/fuzz -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$dir" -j"$(nproc)"
fuzzer=$dir/kx_project_fuzzer
demux_fuzzer=$dir/kx_demux_fuzzer
video_fuzzer=$dir/kx_video_fuzzer
audio_fuzzer=$dir/kx_audio_fuzzer

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# One allocation above this many megabytes is a count trusted beyond the
# stream; the fuzzer's inputs stay far smaller.
limits=(-rss_limit_mb=2048 -malloc_limit_mb=64 -timeout=30)

echo "== replaying $corpus"
"$fuzzer" "${limits[@]}" "$corpus"/*
echo "== replaying $demux_corpus"
"$demux_fuzzer" "${limits[@]}" "$demux_corpus"/*
echo "== replaying $video_corpus"
"$video_fuzzer" "${limits[@]}" "$video_corpus"/*
[ "$seconds" -gt 0 ] || exit 0
demux_seconds=$((seconds / 4))
video_seconds=$((seconds / 4))
audio_seconds=$((seconds / 4))
project_seconds=$((seconds - demux_seconds - video_seconds - audio_seconds))

bash tests/fixtures/make_fixtures.sh "$fixtures" >/dev/null
seeds=$dir/seeds work=$dir/work artifacts=$dir/artifacts
mkdir -p "$seeds" "$work" "$artifacts"
"$dir/kx_project_seeds" "$fixtures" "$seeds" pal1 ntscmenu twovts cmdtable

echo "== fuzzing project loads for ${project_seconds}s (log: $dir/fuzz.log)"
status=0
"$fuzzer" "${limits[@]}" -max_total_time="$project_seconds" -max_len=65536 -print_final_stats=1 \
  -artifact_prefix="$artifacts/" "$work" "$seeds" "$corpus" >"$dir/fuzz.log" 2>&1 || status=$?
# The progress lines run to thousands; the end holds the report of a failure
# or the final statistics.
tail -n 60 "$dir/fuzz.log"
[ "$status" -eq 0 ] || exit "$status"

[ "$demux_seconds" -gt 0 ] || exit 0
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

[ "$video_seconds" -gt 0 ] || exit 0
video_work=$dir/video_work
mkdir -p "$video_work"
echo "== fuzzing the video decoder for ${video_seconds}s (log: $dir/video_fuzz.log)"
"$video_fuzzer" "${limits[@]}" -max_total_time="$video_seconds" -max_len=131072 -print_final_stats=1 \
  -artifact_prefix="$artifacts/" "$video_work" "$video_corpus" >"$dir/video_fuzz.log" 2>&1 || status=$?
tail -n 60 "$dir/video_fuzz.log"
[ "$status" -eq 0 ] || exit "$status"

[ "$audio_seconds" -gt 0 ] || exit 0
audio_work=$dir/audio_work
mkdir -p "$audio_work"
echo "== fuzzing the audio player for ${audio_seconds}s (log: $dir/audio_fuzz.log)"
"$audio_fuzzer" "${limits[@]}" -max_total_time="$audio_seconds" -max_len=65536 -print_final_stats=1 \
  -artifact_prefix="$artifacts/" "$audio_work" "$demux_seeds" >"$dir/audio_fuzz.log" 2>&1 || status=$?
tail -n 60 "$dir/audio_fuzz.log"
exit "$status"
