#!/usr/bin/env bash
# Prints the folder graph of src/ from the include lines and fails when an include
# points up or sideways (a folder may include only the folders its layer links), or when
# code outside src/platform includes SDL, OpenAL, ALUT, GL, Vorbis or emscripten headers.
#   scripts/layers.sh
set -euo pipefail
src="$(cd "$(dirname "$0")/.." && pwd)/src"

# Each layer and the layers below it that it may use (as in src/CMakeLists.txt).
declare -A allowed=(
  [core]=""
  [draw]="core"
  [platform]="draw core"
  [assets]="draw core"
  [city]="core"
  [sim]="city core"
  [render]="assets city draw core"
  [frontend]="render assets city draw core platform sim"
  [shell]="frontend render sim city assets platform draw core"
)
order="core draw platform assets city sim render frontend shell"

status=0
for folder in $order; do
  [ -d "$src/$folder" ] || continue
  # The folders this one includes, with the number of include lines for each.
  uses=$(grep -rhoE '^#include "[a-z_]+/' "$src/$folder" | sed -E 's/#include "//; s|/$||' |
         grep -vx "$folder" | sort | uniq -c | awk '{ printf "%s(%s) ", $2, $1 }' || true)
  printf '%-9s -> %s\n' "$folder" "${uses:-nothing}"
  for used in $(grep -rhoE '^#include "[a-z_]+/' "$src/$folder" | sed -E 's/#include "//; s|/$||' | sort -u); do
    [ "$used" = "$folder" ] && continue
    if ! [[ " ${allowed[$folder]} " == *" $used "* ]]; then
      echo "  not allowed: $folder includes $used:" >&2
      grep -rnE "^#include \"$used/" "$src/$folder" | sed 's/^/    /' >&2
      status=1
    fi
  done
done

outside=$(grep -rlE '^#include <(SDL|AL/|GL/|vorbis/|ogg/|emscripten|stb_)|^#include "stb_' "$src" | grep -v "^$src/platform/" || true)
if [ -n "$outside" ]; then
  echo "platform headers included outside src/platform:" >&2
  echo "$outside" | sed 's/^/    /' >&2
  status=1
fi
[ $status -eq 0 ] && echo "layering ok: every include points down"
exit $status
