#!/usr/bin/env bash
# Prints the non-blank lines of the tests against those of the code (src/, tools/ and
# bench/), counting .cpp, .h, .sh, .py, .js, .cmake and CMakeLists.txt files (npm's
# node_modules left out), and their ratio.
set -euo pipefail
cd "$(dirname "$0")/.."
count() {
    find "$@" -name node_modules -prune -o -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.sh' -o -name '*.py' \
        -o -name '*.js' -o -name '*.cmake' -o -name CMakeLists.txt \) \
        -print0 | xargs -0 cat | grep -cv '^[[:space:]]*$'
}
tests=$(count tests)
code=$(count src tools bench)
awk -v t="$tests" -v c="$code" 'BEGIN { printf "tests %d, code %d, ratio %.3f\n", t, c, t / c }'
