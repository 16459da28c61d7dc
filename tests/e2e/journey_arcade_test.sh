#!/usr/bin/env bash
# An arcade game played with real keys: menu, new game, the map view and back, the
# engine started and the cab driven, the exit key, "time's up!", back to the menu and
# out through the menu's "exit".
# Usage: journey_arcade_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
HC_BUILD=$build
source "$(dirname "$0")/lib.sh"
hc_e2e_init
hc_start_xvfb
hc_launch "$build"

# The main menu: its backdrop fills the screen with many colours.
hc_shot menu
[ "$(hc_bmp_colours "$menu")" -gt 8 ] || hc_fail "the menu picture is nearly empty"

# Enter on "arcade mode": a new city, then the shift.
hc_tap Return
hc_wait_line "Generating map" 20
hc_shot world
! hc_bmp_same "$menu" "$world" || hc_fail "the game looks like the menu"
# The cockpit is at the bottom, the speed read-out dark before the engine runs.
speedo() { hc_bmp_rect "$1" 280 458 339 474; }

# Tab: the map view from above replaces the driver's view and the cockpit.
hc_tap Tab
hc_shot map
! hc_bmp_same "$world" "$map" || hc_fail "the map view looks like the world view"
[ "$(speedo "$world")" != "$(speedo "$map")" ] || hc_fail "the cockpit is still drawn over the map view"
hc_tap Tab
hc_shot world2
[ "$(speedo "$world")" = "$(speedo "$world2")" ] || hc_fail "the cockpit changed with the engine off"

# S starts the engine: the speed read-out lights up ("000").
hc_tap s
hc_shot running
[ "$(speedo "$world2")" != "$(speedo "$running")" ] || hc_fail "no speed read-out after S"
# Throttle held: the read-out and the needle move.
hc_hold_key Up 1.5
hc_shot moving
[ "$(speedo "$running")" != "$(speedo "$moving")" ] || hc_fail "the speed read-out did not change while driving"

# Esc ends the shift: "time's up!" over a greyed picture waits for a key. No screen
# in the wait presents, so the window itself is captured.
hc_tap Escape
hc_wait_grey 15

# Enter: back to the menu (a new screenshot there shows its picture again).
hc_tap Return
hc_shot menu2 20
hc_bmp_same "$menu" "$menu2" || [ "$(hc_bmp_colours "$menu2")" -gt 8 ] || hc_fail "not back at the menu"

# Down four times to "exit", Enter: the exit screen and status 0.
hc_exit_through_menu
echo "arcade journey e2e: all checks passed"
