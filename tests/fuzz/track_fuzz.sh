#!/usr/bin/env bash
# Builds and runs the music-track fuzzer on the generator's test files.
# Usage: tests/fuzz/track_fuzz.sh [seconds=120] [work folder]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-120}
work=${2:-$root/build-fuzz/track}
mkdir -p "$work/corpus"
cp -n "$root"/tools/musicgen/fixtures/*.ogg "$work/corpus/" 2>/dev/null || true
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root/src" "$root/tests/fuzz/track_open_fuzz.cpp" "$root/src/platform/vorbis_stream.cpp" \
  $(pkg-config --cflags --libs vorbisfile vorbis ogg) -o "$work/track_open_fuzz"
cd "$work"
./track_open_fuzz -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$work/" \
  -print_final_stats=1 corpus
