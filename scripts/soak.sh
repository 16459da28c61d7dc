#!/usr/bin/env bash
# Long headless play: menus, arcade and career shifts, options and help pages, round
# after round on a fast game clock, failing when the resident size grows after warm-up.
#   scripts/soak.sh [game-minutes=30] [build-folder=build] [extra cmake options...]
# e.g. scripts/soak.sh 30 build-asan -DHC_SANITIZE=ON for the sanitizer build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
minutes=${1:-30}
build=${2:-$root/build}
shift $(( $# > 2 ? 2 : $# ))
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
cmake --build "$build" -j2 --target game_data hc_soak >/dev/null
# Sanitizer builds keep their own allocator's caches; allow them more before failing.
limit=4096
grep -q 'HC_SANITIZE:BOOL=ON' "$build/CMakeCache.txt" && limit=16384
cd "$build/bin"
exec ./hc_soak "$minutes" "$limit"
