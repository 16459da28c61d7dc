#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite: unit,
# screen and end-to-end tests on the Release build, then the unit tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer, then the browser edition: its build,
# the unit tests of the layers below the platform under node, and the page played in
# headless Chromium.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
"$root/scripts/setup.sh" --web

echo "== Layering"
"$root/scripts/layers.sh"

echo "== Release build and unit tests"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build" -j"$jobs"
ctest --test-dir "$root/build" --output-on-failure -j"$jobs" -LE e2e

# The end-to-end tests spend most of their time waiting on the real game under Xvfb, so
# the sanitizer build compiles meanwhile; their report follows the build's.
echo "== End-to-end tests (in the background) and the sanitizer build"
e2e_log=$(mktemp)
ctest --test-dir "$root/build" --output-on-failure -j"$jobs" -L e2e >"$e2e_log" 2>&1 &
e2e=$!
# Only the unit tests are built, at -O1 with line tables and a unit a library (quicker to
# compile than -O2 with full debug information file by file), reading the data the
# release build generated.
cmake -S "$root" -B "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
      -DHC_UNITY_BUILD=ON -DHC_SANITIZE=ON -DHC_BUILD_BENCH=OFF -DHC_BUILD_DATA=OFF \
      -DHC_DATA_DIR="$root/build/data" >/dev/null
build_status=0
# At the lowest priority, so that the game under test keeps its frames and its timing.
nice -n 19 cmake --build "$root/build-asan" -j"$jobs" --target unit_tests || build_status=$?
e2e_status=0
wait $e2e || e2e_status=$?
cat "$e2e_log"
rm -f "$e2e_log"
[ "$e2e_status" = 0 ] || { echo "end-to-end tests failed" >&2; exit "$e2e_status"; }
[ "$build_status" = 0 ] || { echo "sanitizer build failed" >&2; exit "$build_status"; }

echo "== Unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$root/build-asan" --output-on-failure -j"$jobs" -L unit

echo "== Browser edition"
# The data is the release build's; one compile of the whole game for the browser.
HC_WEB_DATA=$(sed -n 's/^HC_DATA_DIR:PATH=//p' "$root/build/CMakeCache.txt") "$root/scripts/web.sh" --test
