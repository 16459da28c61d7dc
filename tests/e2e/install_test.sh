#!/usr/bin/env bash
# The installed game and its package. cmake --install into a scratch prefix puts every
# file in place; the installed game, started from another folder, finds its data beside
# itself, reaches the menu in full screen, shows its icon and writes screenshots where
# it was started; the command line and the data search order on copies of the game;
# cpack's .deb holds the same files, depends on the runtime libraries only and passes
# lintian; the desktop entry and the AppStream metadata validate.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/lib.sh"
hc_init "$1"

prefix=$HC_TMP/prefix share=$HC_TMP/prefix/share
cmake --install "$HC_BUILD" --prefix "$prefix" >/dev/null || hc_fail "cmake --install failed"
id=org.hazardcab.hazardcab
files=(games/hazardcab share/applications/$id.desktop share/hazardcab/data/graphics.pak
    share/hazardcab/data/icons/hazardcab-64.bmp share/man/man6/hazardcab.6.gz
    share/metainfo/$id.metainfo.xml share/doc/hazardcab/copyright share/doc/hazardcab/changelog.gz)
for n in 1 2 3 4; do files+=("share/hazardcab/data/audio/track$n.ogg"); done
for s in 16 32 48 64 128 256; do files+=("share/icons/hicolor/${s}x$s/apps/hazardcab.png"); done
for f in "${files[@]}"; do [ -s "$prefix/$f" ] || hc_fail "not installed: $f"; done
ln -s games "$prefix/bin"  # the helpers start DIR/bin/hazardcab
for s in 16 32 48 64 128 256; do
    got=$(identify -format '%wx%h' "$share/icons/hicolor/${s}x$s/apps/hazardcab.png")
    [ "$got" = "${s}x$s" ] || hc_fail "the $s px icon is $got"
done
desktop-file-validate "$share/applications/$id.desktop" || hc_fail "bad desktop entry"
appstreamcli validate --no-net --pedantic "$share/metainfo/$id.metainfo.xml" >"$HC_TMP/appstream.txt" 2>&1 &&
    ! grep -q '^[EWIP]:' "$HC_TMP/appstream.txt" || hc_fail "AppStream metadata: $(cat "$HC_TMP/appstream.txt")"
zcat "$share/doc/hazardcab/changelog.gz" | dpkg-parsechangelog -l- -S Version | grep -qx 1.0.0 ||
    hc_fail "the changelog does not name this version"
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
expect_run 1 "No game data (graphics.pak) found in $lone/data, $lone/share/hazardcab/data, ../data" \
    "$lone" "$elsewhere"
hc_run "$prefix" "$elsewhere" --help
grep -q -- '--data DIR' "$HC_OUT" || hc_fail "--help"

# The data beside the installed program comes before the working directory's ../data
# (the unit tests hold the whole search order).
hc_start "$prefix" "$HC_BUILD/bin"
hc_wait_line "Data folder: "
grep -qx "Data folder: $share/hazardcab/data" "$HC_OUT" || hc_fail "not the data beside the program"
hc_close
# A broken pack in the --data folder is said, and the data elsewhere is not taken instead.
broken=$HC_TMP/broken
cp -r "$share/hazardcab/data" "$broken"
# One pixel pair of a record changed: the pictures keep their size, the seal no longer fits.
rm "$broken/graphics.pak"
{ head -c 3001 "$share/hazardcab/data/graphics.pak"; printf '\123\231'; tail -c +3004 "$share/hazardcab/data/graphics.pak"; } >"$broken/graphics.pak"
hc_run "$prefix" "$HC_BUILD/bin" --data "$broken"
[ "$HC_STATUS" = 1 ] && hc_has_line "Data folder: $broken" && hc_has_line "The graphics pack $broken/graphics.pak is damaged" ||
    hc_fail "a damaged pack in the --data folder: status $HC_STATUS"
! grep -q 'AL lib' "$HC_OUT" || hc_fail "the sound device was left open on the way out"

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
command -v lintian >/dev/null || hc_fail "lintian is not installed (scripts/setup.sh installs it): the package cannot be checked"
lintian --pedantic "$deb" >"$HC_TMP/lintian.txt" 2>&1 || hc_fail "lintian: $(cat "$HC_TMP/lintian.txt")"
cat "$HC_TMP/lintian.txt"
! grep -q '^[EW]:' "$HC_TMP/lintian.txt" || hc_fail "lintian found errors or warnings"
echo "install e2e: all checks passed"
