#!/usr/bin/env bash
# The browser edition.
#   scripts/web.sh           installs what is missing (Debian's emscripten, libstb-dev and
#                            chromium, puppeteer-core from npm for the tests), builds the
#                            native tools that generate the data, then the edition into
#                            build-web/www/
#   scripts/web.sh --serve   serves build-web/www on 127.0.0.1 and prints the address
#   scripts/web.sh --test    builds, then runs the unit tests of the layers below the
#                            platform under node, the frames compared with the desktop
#                            build's (build/), and the end-to-end test in Chromium
#   scripts/web.sh --bench   builds, then prints the figures: the first download, the time
#                            to the menu and the frame rates in Chromium, and the time a
#                            frame takes in the browser's engine against the desktop's
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
web=$root/build-web
native=$root/build-web-tools
# Debian's emscripten runs its tools with the system node, which needs Debian's modules.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

if [ "${1:-}" = "--serve" ]; then
    [ -f "$web/www/hazardcab.wasm" ] || { echo "Nothing built yet: run scripts/web.sh first" >&2; exit 1; }
    exec node "$root/tools/web/serve.js" "$web/www" "${PORT:-8080}"
fi

"$root/scripts/setup.sh" --web
if [ ! -d "$root/tests/web/node_modules/puppeteer-core" ]; then
    (cd "$root/tests/web" && npm ci --no-audit --no-fund --loglevel=error)
fi

# The data comes from the native generators (the tools need none of the game's tests).
data=${HC_WEB_DATA:-}
if [ -z "$data" ]; then
    cmake -S "$root" -B "$native" -DCMAKE_BUILD_TYPE=Release -DHC_BUILD_TESTS=OFF -DHC_BUILD_BENCH=OFF >/dev/null
    cmake --build "$native" --target game_data -j"$(nproc)"
    data=$native/data
fi

tests=OFF
[ "${1:-}" = "--test" ] || [ "${1:-}" = "--bench" ] && tests=ON
# A unit a library: the quickest to compile from scratch.
emcmake cmake -S "$root" -B "$web" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
    -DHC_DATA_DIR="$data" -DHC_BUILD_TESTS=$tests -DHC_UNITY_BUILD=ON >/dev/null
targets=(hazardcab)
[ $tests = ON ] && targets+=(web_unit_tests)
cmake --build "$web" -j"$(nproc)" --target "${targets[@]}"
echo "The browser edition is in $web/www ($(du -sh "$web/www" | cut -f1)); scripts/web.sh --serve serves it"

if [ "${1:-}" = "--test" ]; then
    ctest --test-dir "$web" --output-on-failure -j"$(nproc)"
fi

if [ "${1:-}" = "--bench" ]; then
    echo "== First download (before play; the music follows once play has started)"
    first=("$web"/www/index.html "$web"/www/hazardcab.js "$web"/www/hazardcab.wasm "$web"/www/hazardcab.data)
    echo "  $(cat "${first[@]}" | wc -c) bytes, $(for f in "${first[@]}"; do gzip -9c "$f"; done | wc -c) gzipped" \
         "(music: $(cat "$web"/www/audio/*.ogg | wc -c) bytes)"
    echo "== In Chromium (times in ms; work: the game's own time a frame)"
    node "$root/tests/web/game_test.js" "$web/www" | sed -n 's/^figures /  /p'
    echo "== The same shift drawn headless: the desktop build, then the browser build under node"
    native_digests=${HC_NATIVE_FRAME_DIGESTS:-$root/build/bin/frame_digests}
    if [ -x "$native_digests" ]; then echo "  desktop: $("$native_digests" --times)"; fi
    echo "  browser: $(node --no-experimental-fetch "$web/bin/frame_digests.js" --times)"
fi
