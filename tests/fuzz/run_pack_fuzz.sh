#!/usr/bin/env bash
# Builds and runs the graphics pack decoder's libFuzzer target.
# Usage: tests/fuzz/run_pack_fuzz.sh [seconds=60] [work folder=/tmp/hc_pack_fuzz]
set -euo pipefail
seconds=${1:-60}
work=${2:-/tmp/hc_pack_fuzz}
root=$(cd "$(dirname "$0")/../.." && pwd)
"$root/scripts/setup.sh" --fuzz
mkdir -p "$work/corpus"

clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root/src" \
  "$root/tests/fuzz/pack_decoder_fuzz.cpp" \
  "$root/src/assets/graphics_pack.cpp" "$root/src/assets/colour_tables.cpp" "$root/src/draw/image.cpp" \
  "$root/src/core/system.cpp" "$root/src/core/regular_file.cpp" "$root/src/core/save_file.cpp" \
  -o "$work/pack_decoder_fuzz"

# Seeds: a run of 256, a short pack with a partial record, a capacity that overflows.
printf '\x10\x00\x00\x00\x00' > "$work/corpus/seed_run256"
printf '\x40\x00\x01\x34\x12\x03\x05\x06\x07' > "$work/corpus/seed_partial"
printf '\x01\x00\x02\x01\x01\x02\x02\x02' > "$work/corpus/seed_overflow"

"$work/pack_decoder_fuzz" -max_total_time="$seconds" -max_len=4096 -artifact_prefix="$work/" "$work/corpus"
