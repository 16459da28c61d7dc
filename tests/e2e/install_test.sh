#!/usr/bin/env bash
# The installed game: cmake --install into a scratch prefix puts every file in place,
# and the installed game, started from another folder, finds its data beside itself,
# reaches the menu, shows its icon and writes screenshots where it was started. The
# data search order and the command line on copies of the game.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source "$(dirname "$0")/lib.sh"
hc_e2e_init
export HAZARDCAB_HOME="$HC_TMP/home"

prefix="$HC_TMP/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null || hc_fail "cmake --install failed"
share="$prefix/share"
for f in bin/hazardcab share/hazardcab/data/graphics.pak share/hazardcab/data/icons/hazardcab-64.bmp \
         share/applications/hazardcab.desktop share/metainfo/hazardcab.metainfo.xml \
         share/man/man6/hazardcab.6.gz $(printf 'share/hazardcab/data/audio/track%d.ogg ' 1 2 3 4); do
    [ -s "$prefix/$f" ] || hc_fail "not installed: $f"
done
for size in 16 32 48 64 128 256; do
    got=$(identify -format '%wx%h' "$share/icons/hicolor/${size}x${size}/apps/hazardcab.png") ||
        hc_fail "no ${size} px icon"
    [ "$got" = "${size}x${size}" ] || hc_fail "the ${size} px icon is $got"
done
desktop-file-validate "$share/applications/hazardcab.desktop" || hc_fail "bad desktop entry"
# AppStream: no errors (the component's plain id is only a warning).
! appstreamcli validate --no-net "$share/metainfo/hazardcab.metainfo.xml" | grep '^E:' ||
    hc_fail "bad AppStream metadata"
zcat "$share/man/man6/hazardcab.6.gz" | grep -q 'fullscreen' || hc_fail "the man page lacks the options"

# run_in DIR PROGRAM ARGS...: the game's console in $HC_GAME_OUT, its status in $status.
run_in() {
    local dir=$1
    shift
    HC_GAME_OUT="$HC_TMP/console.txt"
    status=0
    (cd "$dir" && exec "$@") >"$HC_GAME_OUT" 2>&1 || status=$?
}
start_in() {
    local dir=$1
    shift
    HC_GAME_OUT="$HC_TMP/console.txt"
    (cd "$dir" && exec "$@") >"$HC_GAME_OUT" 2>&1 &
    HC_GAME_PID=$!
}
elsewhere="$HC_TMP/elsewhere"
mkdir -p "$elsewhere"

# Options that never open a window.
run_in "$elsewhere" "$prefix/bin/hazardcab" --version
[ "$status" = 0 ] && [ "$(cat "$HC_GAME_OUT")" = "Hazard Cab 7700 1.0.0" ] || hc_fail "--version"
run_in "$elsewhere" "$prefix/bin/hazardcab" --help
[ "$status" = 0 ] && grep -q -- '--data DIR' "$HC_GAME_OUT" || hc_fail "--help"
run_in "$elsewhere" "$prefix/bin/hazardcab" --warp 9
[ "$status" = 2 ] && [ "$(wc -l <"$HC_GAME_OUT")" = 1 ] || hc_fail "unknown option: status $status"

# A lone copy of the program finds no data: one line naming every place, status 1.
mkdir -p "$HC_TMP/lone/bin"
cp "$prefix/bin/hazardcab" "$HC_TMP/lone/bin/"
run_in "$elsewhere" "$HC_TMP/lone/bin/hazardcab"
[ "$status" = 1 ] || hc_fail "no data: status $status"
[ "$(cat "$HC_GAME_OUT")" = "No game data (graphics.pak) found in ../data, $HC_TMP/lone/data, $HC_TMP/lone/share/hazardcab/data" ] ||
    hc_fail "no data: $(cat "$HC_GAME_OUT")"

hc_start_xvfb
# The folder each start uses: --data when nothing else has data, the working
# directory's ../data before the data beside the program.
data_folder_is() {
    local expected=$1
    shift
    start_in "$@"
    hc_wait_line "Data folder: " 20
    grep -qx "Data folder: $expected" "$HC_GAME_OUT" || hc_fail "expected data folder $expected"
    hc_stop_game
}
data_folder_is "$share/hazardcab/data" "$HC_TMP/lone" "$HC_TMP/lone/bin/hazardcab" --data "$share/hazardcab/data"
data_folder_is "../data" "$build/bin" "$prefix/bin/hazardcab"

# The installed game from another folder, in full screen, up to the menu. A window
# manager makes full screen happen (it ends with the X server).
matchbox-window-manager -use_titlebar no >/dev/null 2>&1 &
start_in "$elsewhere" "$prefix/bin/hazardcab" --fullscreen
hc_wait_line "Data folder: $share/hazardcab/data"
hc_wait_line "Just a moment..." 30
hc_wait_window
hc_wait_for 10 sh -c "xdotool getwindowgeometry '$HC_WINDOW' | grep -q 'Geometry: 1366x768'" ||
    hc_fail "not full screen: $(xdotool getwindowgeometry "$HC_WINDOW")"
xprop -id "$HC_WINDOW" _NET_WM_ICON | grep -q 'Icon (64 x 64)' || hc_fail "the window has no icon"
for attempt in 1 2 3 4 5 6; do
    hc_hold_key F2
    hc_wait_for 2 grep -q '^Saved grab' "$HC_GAME_OUT" && break
done
name=$(grep -m1 '^Saved grab' "$HC_GAME_OUT" | sed 's/^Saved //') || hc_fail "no screenshot"
[ -s "$elsewhere/$name" ] || hc_fail "the screenshot is not in the working directory"
hc_stop_game
[ "$HC_GAME_STATUS" = 0 ] || hc_fail "exit status $HC_GAME_STATUS"
echo "install e2e: all checks passed"
