#!/usr/bin/env bash
# A career with real keys: the garage, a purchase refused for lack of money, a shift at
# work ended with the exit key, back in the garage, "Save and exit", and out.
# Usage: journey_career_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
HC_BUILD=$build
source "$(dirname "$0")/lib.sh"
hc_e2e_init
hc_start_xvfb
hc_launch "$build"
hc_shot menu

# "career mode": the garage, which waits for keys (the window is captured).
hc_tap Down; hc_tap Return
sleep 5
hc_capture "$HC_TMP/garage1.png"
convert "$menu" "$HC_TMP/menu.png"
hc_png_differ "$HC_TMP/garage1.png" "$HC_TMP/menu.png" 5000 || hc_fail "the garage looks like the menu"
# Left: "Upgrade: turbo" at $200, and the bank is empty.
hc_tap Left; sleep 0.5
hc_capture "$HC_TMP/garage2.png"
hc_png_differ "$HC_TMP/garage1.png" "$HC_TMP/garage2.png" 50 || hc_fail "choosing another item changed nothing"
# Enter: refused. Only the shopkeeper's line changes.
hc_tap Return; sleep 0.5
hc_capture "$HC_TMP/garage3.png"
hc_png_differ "$HC_TMP/garage2.png" "$HC_TMP/garage3.png" 50 || hc_fail "the refusal was not shown"
# Right: "Go to work", Enter: a new city and a shift.
hc_tap Right; hc_tap Return
hc_wait_line "Generating map" 20
hc_shot work
# Esc ends the shift; Enter at "time's up!" goes back to the garage.
hc_tap Escape
sleep 1
hc_tap Return
sleep 5
hc_capture "$HC_TMP/garage4.png"
convert "$work" "$HC_TMP/work.png"
hc_png_differ "$HC_TMP/garage4.png" "$HC_TMP/work.png" 5000 || hc_fail "not back in the garage"
# Three to the left from "Go to work" is "Save and exit"; the menu follows.
hc_tap Left; hc_tap Left; hc_tap Left; hc_tap Return
hc_shot menu_b 20
[ "$(hc_bmp_colours "$menu_b")" -gt 8 ] || hc_fail "not back at the menu"
hc_tap Escape
hc_wait_gone 20
[ "$HC_GAME_STATUS" = 0 ] || hc_fail "exit status $HC_GAME_STATUS"
hc_assert_farewell
echo "career journey e2e: all checks passed"
