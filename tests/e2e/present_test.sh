#!/usr/bin/env bash
# How frames reach the real window under Xvfb (OpenGL in software): the game's own scaling into the window's surface
# gives the pixels SDL's renderer gives, in the 640 x 480 window and full screen; the blinking menu shows every second frame.
# Usage: present_test.sh BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/lib.sh"
hc_init "$1"
dir=$(hc_game_dir present)
log=$HC_TMP/frames.txt
# count FIELD: from the frame log, 2 the frames drawn, 4 those shown.
count() { awk -v f="$1" '{ print $f }' "$log"; }
drawn_past() { [ "$(count 2)" -gt "$1" ]; }
sized() { [ "$(xdotool getwindowgeometry "$HC_WINDOW" | sed -n 's/ *Geometry: //p')" = "$1" ]; }
# grab NAME: the window's picture into $path-NAME.png; true once it is the renderer's picture of NAME (for the
# renderer's own, once two grabs in a row agree: the picture has settled).
grab() {
    local at=$HC_TMP/$path-$1.png new=$HC_TMP/new.png ref=$HC_TMP/renderer-$1.png settled=1
    import -window "$HC_WINDOW" "$new" || return 1
    [ -f "$ref" ] && ! hc_differ "$ref" "$new" 0 && settled=0
    mv "$new" "$at"
    return $settled
}

for path in renderer auto; do
    rm -f "$log"
    HAZARDCAB_PRESENTATION=$path HAZARDCAB_FRAME_LOG=$log hc_start "$dir"
    hc_wait_for 20 test -s "$log" || hc_fail "$path: no frame log"
    want=$([ "$path" = auto ] && echo surface || echo renderer)
    grep -q "presentation $want\$" "$log" || hc_fail "$path: presentation '$(cat "$log")', not $want"
    # A screenshot shows that the menu polls keys: its dissolve is over.
    hc_shot menu
    if [ "$path" = auto ]; then
        # Two seconds of the menu: of the frames drawn, the blink changes every second one.
        drawn=$(count 2) shown=$(count 4)
        hc_wait_for 10 drawn_past $((drawn + 100)) || hc_fail "the menu stopped drawing"
        awk -v d=$(($(count 2) - drawn)) -v s=$(($(count 4) - shown)) 'BEGIN { exit !(s >= 0.4 * d && s <= 0.6 * d) }' ||
            hc_fail "the menu showed $(($(count 4) - shown)) of $(($(count 2) - drawn)) frames"
    fi
    # The garage, which stands still: its picture in the window and full screen.
    hc_keys Down Down Down Return  # career mode: the free ride and the city of the day come first with the assists on
    hc_shot garage
    hc_differ "$menu" "$garage" 5000 || hc_fail "$path: not in the garage"
    hc_wait_for 10 grab window || hc_fail "$path: the window's picture differs from the renderer's"
    hc_keys F11
    hc_wait_for 5 sized 1366x768 || hc_fail "$path: F11 did not fill the display"
    hc_wait_for 10 grab full || hc_fail "$path: the full-screen picture differs from the renderer's"
    hc_keys F11
    hc_wait_for 5 sized 640x480 || hc_fail "$path: F11 again did not bring the window back"
    hc_close
done
# The full-screen picture is the frame scaled between black bars, not the small one.
[ "$(convert "$HC_TMP/auto-full.png" -crop 170x768+0+0 -format '%[fx:maxima.r + maxima.g + maxima.b]' info:)" = 0 ] ||
    hc_fail "no black bar at the left of the full-screen picture"
hc_differ "$HC_TMP/auto-window.png" "$(convert "$HC_TMP/auto-full.png" -crop 1024x768+171+0 +repage -sample 640x480 "$HC_TMP/back.png" && echo "$HC_TMP/back.png")" 3000 &&
    hc_fail "the full-screen picture is not the window's, scaled"
echo "present_test: ok"
