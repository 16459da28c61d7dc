#!/usr/bin/env bash
# Closing the window (SIGTERM, as the window manager's close request arrives) on every
# kind of screen ends the game through the exit screen with status 0.
# Usage: journey_close_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
HC_BUILD=$build
source "$(dirname "$0")/lib.sh"
hc_e2e_init
hc_start_xvfb

# Starts the game and waits until the main menu polls keys.
to_menu() {
    hc_launch "$build"
    hc_shot menu
}

closes_cleanly() {
    local where=$1
    hc_stop_game
    [ "$HC_GAME_STATUS" = 0 ] || hc_fail "exit status $HC_GAME_STATUS when closed at $where"
    grep -qF '  Thanks for playing!' "$HC_GAME_OUT" || hc_fail "no exit screen when closed at $where"
    echo "closed at $where: ok"
}

# The main menu.
to_menu
closes_cleanly "the main menu"

# A running game, and then the "time's up!" wait.
to_menu
hc_tap Return
hc_wait_line "Generating map" 20
hc_shot game
closes_cleanly "a game"

to_menu
hc_tap Return
hc_wait_line "Generating map" 20
hc_shot game
hc_tap Escape
sleep 1
closes_cleanly "the time's up wait"

# Options (menu entry 3) and the help pages (entry 4).
to_menu
hc_tap Down; hc_tap Down; hc_tap Return
sleep 2.5
hc_shot options
closes_cleanly "the options screen"

to_menu
hc_tap Up; hc_tap Up; hc_tap Return
# Both dissolves take 3.8 s; the book then waits for a key.
sleep 5
closes_cleanly "the help pages"

# The career's garage (entry 2).
to_menu
hc_tap Down; hc_tap Return
sleep 5
closes_cleanly "the garage"

# In the middle of the dissolve from the menu to the garage.
to_menu
hc_tap Down; hc_tap Return
sleep 0.8
closes_cleanly "a dissolve"
echo "close journey e2e: all checks passed"
