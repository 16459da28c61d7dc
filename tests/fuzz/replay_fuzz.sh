#!/usr/bin/env bash
# Builds and runs the recording reader's libFuzzer target from a small recording.
# Usage: tests/fuzz/replay_fuzz.sh [seconds=600] [work folder]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-600}
work=${2:-$root/build-fuzz/replay}
mkdir -p "$work/corpus"
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root/src" "$root/tests/fuzz/replay_reader_fuzz.cpp" "$root/src/core/replay_file.cpp" \
  "$root/src/core/save_file.cpp" "$root/src/core/regular_file.cpp" "$root/src/core/random.cpp" \
  -o "$work/replay_reader_fuzz"
# Seed: a career shift of 40 frames whose length and actions change now and then.
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
cd "$work"
./replay_reader_fuzz -max_total_time="$seconds" -max_len=8192 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$work/" -print_final_stats=1 corpus
