#!/usr/bin/env bash
# The .deb: cpack builds it from the build folder; its files sit under /usr and its
# dependencies are the Debian runtime packages of the libraries the game links.
# Usage: package_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source "$(dirname "$0")/lib.sh"
hc_e2e_init

(cd "$build" && cpack -G DEB -B "$HC_TMP" >"$HC_TMP/cpack.txt" 2>&1) || hc_fail "cpack: $(tail -5 "$HC_TMP/cpack.txt")"
deb=$(ls "$HC_TMP"/hazardcab_*_amd64.deb) || hc_fail "no package"
dpkg-deb -c "$deb" | awk '{ print $6 }' | grep -v '/$' | sort >"$HC_TMP/files.txt"
expected=(./usr/bin/hazardcab ./usr/share/applications/hazardcab.desktop
    ./usr/share/hazardcab/data/graphics.pak ./usr/share/hazardcab/data/icons/hazardcab-64.bmp
    ./usr/share/man/man6/hazardcab.6.gz ./usr/share/metainfo/hazardcab.metainfo.xml)
for n in 1 2 3 4; do expected+=("./usr/share/hazardcab/data/audio/track$n.ogg"); done
for s in 16 32 48 64 128 256; do expected+=("./usr/share/icons/hicolor/${s}x${s}/apps/hazardcab.png"); done
diff <(printf '%s\n' "${expected[@]}" | sort) "$HC_TMP/files.txt" || hc_fail "the package's files differ"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libsdl2-2.0-0 libopenal1 libalut0 libvorbisfile3 libgl1 libglu1-mesa libstdc++6 libc6; do
    [[ ", $depends," == *", $lib"[\ ,]* ]] || hc_fail "no dependency on $lib"
done
# Nothing that only the build or the tools need.
! grep -qE 'dev|libpng|gtest|benchmark' <<<"$depends" || hc_fail "a build-only dependency"
[ "$(dpkg-deb -f "$deb" Section)" = games ] || hc_fail "not in section games"
echo "package e2e: all checks passed"
