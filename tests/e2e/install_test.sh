#!/usr/bin/env bash
# The installed game and its package. cmake --install into a scratch prefix puts every
# file in place; the installed game, started from another folder, finds its data beside
# itself, reaches the menu in full screen, shows its icon and writes screenshots where
# it was started; the command line and the data search order on copies of the game;
# cpack's .deb holds the same files and depends on the runtime libraries only.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/lib.sh"
hc_init "$1"

prefix=$HC_TMP/prefix share=$HC_TMP/prefix/share
cmake --install "$HC_BUILD" --prefix "$prefix" >/dev/null || hc_fail "cmake --install failed"
files=(bin/hazardcab share/applications/hazardcab.desktop share/hazardcab/data/graphics.pak
    share/hazardcab/data/icons/hazardcab-64.bmp share/man/man6/hazardcab.6.gz
    share/metainfo/hazardcab.metainfo.xml)
for n in 1 2 3 4; do files+=("share/hazardcab/data/audio/track$n.ogg"); done
for s in 16 32 48 64 128 256; do files+=("share/icons/hicolor/${s}x$s/apps/hazardcab.png"); done
for f in "${files[@]}"; do [ -s "$prefix/$f" ] || hc_fail "not installed: $f"; done
for s in 16 32 48 64 128 256; do
    got=$(identify -format '%wx%h' "$share/icons/hicolor/${s}x$s/apps/hazardcab.png")
    [ "$got" = "${s}x$s" ] || hc_fail "the $s px icon is $got"
done
desktop-file-validate "$share/applications/hazardcab.desktop" || hc_fail "bad desktop entry"
# AppStream: no errors (the component's plain id is only a warning).
! appstreamcli validate --no-net "$share/metainfo/hazardcab.metainfo.xml" | grep '^E:' ||
    hc_fail "bad AppStream metadata"
zcat "$share/man/man6/hazardcab.6.gz" | grep -q 'fullscreen' || hc_fail "the man page lacks the options"

# Options that never open a window, and a lone copy with no data anywhere.
elsewhere=$HC_TMP/elsewhere lone=$HC_TMP/lone
mkdir -p "$elsewhere" "$lone/bin"
cp "$prefix/bin/hazardcab" "$lone/bin/"
expect_run() {
    local status=$1 output=$2
    shift 2
    hc_run "$@"
    [ "$HC_STATUS" = "$status" ] && [ "$(cat "$HC_OUT")" = "$output" ] ||
        hc_fail "$*: status $HC_STATUS, '$(cat "$HC_OUT")'"
}
expect_run 0 "Hazard Cab 7700 1.0.0" "$prefix" "$elsewhere" --version
expect_run 2 "Unknown option '--warp' (try --help)" "$prefix" "$elsewhere" --warp 9
expect_run 1 "No game data (graphics.pak) found in ../data, $lone/data, $lone/share/hazardcab/data" \
    "$lone" "$elsewhere"
hc_run "$prefix" "$elsewhere" --help
grep -q -- '--data DIR' "$HC_OUT" || hc_fail "--help"

# The folder each start takes: --data when nothing else has data; the working
# directory's ../data before the data beside the program.
data_folder_is() {
    local expected=$1
    shift
    hc_start "$@"
    hc_wait_line "Data folder: "
    grep -qx "Data folder: $expected" "$HC_OUT" || hc_fail "expected the data folder $expected"
    hc_close
}
data_folder_is "$share/hazardcab/data" "$lone" "$lone" --data "$share/hazardcab/data"
data_folder_is "../data" "$prefix" "$HC_BUILD/bin"

# The installed game from another folder, in full screen, up to the menu. A window
# manager makes full screen happen (it ends with the X server).
matchbox-window-manager -use_titlebar no >/dev/null 2>&1 &
hc_start "$prefix" "$elsewhere" --fullscreen
hc_wait_line "Data folder: $share/hazardcab/data"
hc_shot menu 30
hc_wait_for 10 sh -c "xdotool getwindowgeometry '$HC_WINDOW' | grep -q 'Geometry: 1366x768'" ||
    hc_fail "not full screen: $(xdotool getwindowgeometry "$HC_WINDOW")"
hc_wait_for 10 sh -c "xprop -id '$HC_WINDOW' _NET_WM_ICON | grep -q 'Icon (64 x 64)'" || hc_fail "the window has no icon"
[ -s "$menu" ] && [ "$(dirname "$menu")" = "$elsewhere" ] || hc_fail "no screenshot in the working directory"
hc_exit_via_menu

# The package: the same files under /usr, dependencies on runtime libraries only.
(cd "$HC_BUILD" && cpack -G DEB -B "$HC_TMP/deb" >"$HC_TMP/cpack.txt" 2>&1) || hc_fail "cpack: $(tail -5 "$HC_TMP/cpack.txt")"
deb=$(ls "$HC_TMP"/deb/hazardcab_*_amd64.deb)
diff <(printf './usr/%s\n' "${files[@]}" | sort) <(dpkg-deb -c "$deb" | awk '{ print $6 }' | grep -v '/$' | sort) ||
    hc_fail "the package's files differ"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libsdl2-2.0-0 libopenal1 libalut0 libvorbisfile3 libgl1 libglu1-mesa libstdc++6 libc6; do
    [[ ", $depends," == *", $lib"[\ ,]* ]] || hc_fail "no dependency on $lib"
done
! grep -qE 'dev|libpng|gtest|benchmark' <<<"$depends" || hc_fail "a build-only dependency"
[ "$(dpkg-deb -f "$deb" Section)" = games ] || hc_fail "not in section games"
echo "install e2e: all checks passed"
