#!/usr/bin/env bash
# Builds the fuzzers with clang and libFuzzer, replays their committed
# regression corpora, then fuzzes for a bounded time shared between them:
# project loading (seeded with the fixture discs stored as projects), disc
# reading (the fixture discs' IFO files), the program-stream demultiplexer
# and the audio player (both seeded with the first sectors of fixture VOBs;
# the audio player also with Layer III streams of its corpus)
# and the video decoder (from its corpus), a fifth of the time each.
#
#   scripts/fuzz.sh [SECONDS]        (default 60; 0 replays the corpora only)
#
# KX_FUZZ_DIR names the build folder (default build/fuzz), KX_FIXTURE_DIR the
# fixture cache (default build/fixtures). Inputs that fail are kept in
# <build folder>/artifacts; a fixed one belongs in the target's corpus:
# tests/fuzz/corpus (project streams), tests/fuzz/ifo-corpus (IFO inputs: a
# first byte that is even for VIDEO_TS.IFO and odd for VTS_01_0.IFO, then the
# file's bytes), tests/fuzz/demux_corpus (program streams),
# tests/fuzz/audio_corpus (program streams for the audio player) or
# tests/fuzz/video_corpus (program streams for the video decoder).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
dir=${KX_FUZZ_DIR:-build/fuzz}
fixtures=${KX_FIXTURE_DIR:-$PWD/build/fixtures}
corpus=tests/fuzz/corpus
ifo_corpus=tests/fuzz/ifo-corpus
demux_corpus=tests/fuzz/demux_corpus
audio_corpus=tests/fuzz/audio_corpus
video_corpus=tests/fuzz/video_corpus

cmake -S tests/fuzz -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$dir" -j"$(nproc)"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# One allocation above this many megabytes is a count trusted beyond the
# stream; the fuzzer's inputs stay far smaller.
limits=(-rss_limit_mb=2048 -malloc_limit_mb=64 -timeout=30)

echo "== replaying $corpus"
"$dir/kx_project_fuzzer" "${limits[@]}" "$corpus"/*
echo "== replaying $demux_corpus"
"$dir/kx_demux_fuzzer" "${limits[@]}" "$demux_corpus"/*
echo "== replaying $audio_corpus"
"$dir/kx_audio_fuzzer" "${limits[@]}" "$audio_corpus"/*
echo "== replaying $ifo_corpus"
"$dir/kx_ifo_fuzzer" "${limits[@]}" "$ifo_corpus"/*
echo "== replaying $video_corpus"
"$dir/kx_video_fuzzer" "${limits[@]}" "$video_corpus"/*
[ "$seconds" -gt 0 ] || exit 0

bash tests/fixtures/make_fixtures.sh "$fixtures" >/dev/null

artifacts=$dir/artifacts
seeds=$dir/seeds ifo_seeds=$dir/ifo-seeds demux_seeds=$dir/demux_seeds
mkdir -p "$artifacts" "$seeds" "$ifo_seeds" "$demux_seeds"
"$dir/kx_project_seeds" "$fixtures" "$seeds" pal1 ntscmenu twovts cmdtable
for disc in pal1 ntscmenu twovts cmdtable; do
  { printf '\x00'; cat "$fixtures/$disc/VIDEO_TS/VIDEO_TS.IFO"; } >"$ifo_seeds/$disc-vmg"
  { printf '\x01'; cat "$fixtures/$disc/VIDEO_TS/VTS_01_0.IFO"; } >"$ifo_seeds/$disc-vts1"
done
for vob in "$fixtures"/pal1/VIDEO_TS/VTS_01_1.VOB "$fixtures"/twovts/VIDEO_TS/VTS_02_1.VOB \
  "$fixtures"/ntscmenu/VIDEO_TS/VIDEO_TS.VOB; do
  dd if="$vob" of="$demux_seeds/$(basename "$(dirname "$(dirname "$vob")")")-$(basename "$vob")" \
    bs=2048 count=24 status=none
done

# fuzz <name> <share of the time in fifths> <max input length> <what> <input folders...>
fuzz() {
  local name=$1 fifths=$2 max_len=$3 what=$4; shift 4
  local t=$((seconds * fifths / 5)) work=$dir/$name-work log=$dir/$name-fuzz.log status=0
  [ "$t" -gt 0 ] || return 0
  mkdir -p "$work"
  echo "== fuzzing $what for ${t}s (log: $log)"
  "$dir/kx_${name}_fuzzer" "${limits[@]}" -max_total_time="$t" -max_len="$max_len" -print_final_stats=1 \
    -artifact_prefix="$artifacts/$name-" "$work" "$@" >"$log" 2>&1 || status=$?
  # The progress lines run to thousands; the end holds the report of a failure
  # or the final statistics.
  tail -n 60 "$log"
  return "$status"
}

fuzz project 1 65536 "project loads" "$seeds" "$corpus"
# The disc reader's other files are those of the menu disc, whose VOBs the IFO
# inputs of every disc then describe rightly or wrongly.
KX_IFO_FUZZ_DISC="$fixtures/ntscmenu/VIDEO_TS" fuzz ifo 1 65536 "IFO reads" "$ifo_seeds" "$ifo_corpus"
fuzz demux 1 65536 "the demultiplexer" "$demux_seeds" "$demux_corpus"
fuzz audio 1 65536 "the audio player" "$demux_seeds" "$audio_corpus"
fuzz video 1 131072 "the video decoder" "$video_corpus"
