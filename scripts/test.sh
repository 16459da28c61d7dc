#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite: unit,
# screen and end-to-end tests on the Release build, then the unit tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
"$root/scripts/setup.sh"

echo "== Layering"
"$root/scripts/layers.sh"

echo "== Release build and full test suite"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build" -j"$jobs"
ctest --test-dir "$root/build" --output-on-failure -j"$jobs"

echo "== Sanitizer build and unit tests"
# Only the unit tests are built, reading the data the release build generated.
cmake -S "$root" -B "$root/build-asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DHC_SANITIZE=ON -DHC_BUILD_BENCH=OFF -DHC_BUILD_DATA=OFF \
      -DHC_DATA_DIR="$root/build/data" >/dev/null
cmake --build "$root/build-asan" -j"$jobs" --target unit_tests
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$root/build-asan" --output-on-failure -j"$jobs" -L unit
