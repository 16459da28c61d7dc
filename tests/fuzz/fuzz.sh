#!/usr/bin/env bash
# Builds and runs one libFuzzer target from a few seed inputs: pack (the graphics pack decoder), track
# (opening a music track, seeded with the music generator's test files) or replay (the recording reader).
# Usage: tests/fuzz/fuzz.sh pack|track|replay [seconds=600] [work folder=build-fuzz/NAME]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
target=${1:?which target: pack, track or replay}
seconds=${2:-600}
work=${3:-$root/build-fuzz/$target}
"$root/scripts/setup.sh" --fuzz
mkdir -p "$work/corpus"
cd "$root/src"
case $target in
  pack)  # a run of 256, a short pack with a partial record, a capacity that overflows
    sources=(assets/graphics_pack.cpp assets/colour_tables.cpp draw/image.cpp core/system.cpp core/regular_file.cpp core/save_file.cpp)
    name=pack_decoder_fuzz max=4096 libs=()
    printf '\x10\x00\x00\x00\x00' > "$work/corpus/seed_run256"
    printf '\x40\x00\x01\x34\x12\x03\x05\x06\x07' > "$work/corpus/seed_partial"
    printf '\x01\x00\x02\x01\x01\x02\x02\x02' > "$work/corpus/seed_overflow" ;;
  track)
    sources=(platform/vorbis_stream.cpp platform/stereo_resampler.cpp platform/ogg_pages.cpp core/regular_file.cpp)
    name=track_open_fuzz max=65536 libs=($(pkg-config --cflags --libs vorbisfile vorbis ogg))
    cp -n "$root"/tools/musicgen/fixtures/*.ogg "$work/corpus/" 2>/dev/null || true ;;
  replay)  # a career shift of 40 frames whose length and actions change now and then
    sources=(core/replay_file.cpp core/save_file.cpp core/regular_file.cpp core/random.cpp) name=replay_reader_fuzz max=8192 libs=()
    python3 - "$work/corpus/seed_shift" <<'PY'
import struct, sys, zlib
out = b"HCREPLAY" + struct.pack("<HB5s4QBIq4b3f4BIBI2fI", 1, 5, b"0.1.0", 1, 2, 3, 4, 2, 20261207, 300, 1, 2, 0, 3,
                                0.1, 0.0, 0.5, 0xFF, 0, 1, 0xFF, 2, 0, 32, 1040.0, 1034.0, 40)
for i in range(40):
    out += bytes([(i % 4 == 0) | (i % 7 == 0) << 1]) + (struct.pack("<d", 50.0 / (58 + i % 5)) if i % 4 == 0 else b"") \
        + (struct.pack("<H", (i * 37) & 0xFFFE) if i % 7 == 0 else b"")
out += struct.pack("<q", 1234)
open(sys.argv[1], "wb").write(out + struct.pack("<I", zlib.crc32(out)))
PY
    ;;
  *) echo "fuzz.sh: no target $target (pack, track or replay)" >&2; exit 2 ;;
esac
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -I"$root/src" \
  "$root/tests/fuzz/$name.cpp" "${sources[@]}" "${libs[@]}" -o "$work/$name"
cd "$work"
"./$name" -max_total_time="$seconds" -max_len=$max -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$work/" \
  -print_final_stats=1 corpus
