#!/usr/bin/env bash
# A whole fare in the real game with real keys: an arcade game is started from the
# menu, and the screen-reading fare driver (bin/fare_driver) plays it from the game's
# own F2 screenshots: engine, map view, the nearest pick-up square, the cockpit's arrow
# and distance to the destination, the destination square, and the delivered count
# "1/16" in the cockpit. A city with no square in sight at the start, a passenger going
# further than 700 cells (most of a shift's driving), or a ride that goes wrong, is left
# with Esc and a new game is started. Then "time's up!", the menu and out through
# "exit".
#
# The driver gets between half and two thirds of its rides right, so this journey is a
# command to run by hand rather than a CTest case (a whole fare driven the same way on a seeded city runs
# headless, and deterministically, in test_driver). A run takes two to ten minutes.
# Usage: tests/e2e/fare_journey.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
HC_BUILD=$build
source "$(dirname "$0")/lib.sh"
hc_e2e_init
[ -x "$build/bin/fare_driver" ] || hc_fail "no fare driver at $build/bin/fare_driver"
hc_start_xvfb
hc_launch "$build"
hc_shot menu

games() { grep -c '^Generating map' "$HC_GAME_OUT" || true; }

# Esc ends the shift; "time's up!" waits over a greyed picture for Enter.
leave_shift() {
    hc_tap Escape
    hc_wait_grey 20
    hc_tap Return
    hc_shot back_at_menu 20
}

delivered=0
rides=0
for attempt in $(seq 1 24); do
    before=$(games)
    hc_tap Return
    new_game() { [ "$(games)" -gt "$before" ]; }
    hc_wait_for 20 new_game || hc_fail "Enter on the menu started no game"
    status=0
    "$build/bin/fare_driver" --game-dir "$build/bin" --console "$HC_GAME_OUT" \
        --pack "$build/data/graphics.pak" --timeout 200 --longest-ride 700 >"$HC_TMP/driver.txt" 2>&1 ||
        status=$?
    # The driver deletes the screenshots it takes as soon as it has read them.
    sed 's/^/  driver: /' "$HC_TMP/driver.txt"
    if [ "$status" = 0 ]; then
        delivered=1
        break
    fi
    # 3: no square in sight, 4: too far; anything else is a ride that went wrong.
    [ "$status" = 3 ] || [ "$status" = 4 ] || rides=$((rides + 1))
    [ "$rides" -lt 5 ] || hc_fail "five rides failed"
    leave_shift
done
[ "$delivered" = 1 ] || hc_fail "no fare that could be driven in 24 games"
grep -q 'passenger aboard at' "$HC_TMP/driver.txt" || hc_fail "the driver saw no pick-up"
grep -q 'the cockpit shows 1/16' "$HC_TMP/driver.txt" || hc_fail "the cockpit did not count the delivery"

# The shift goes on after the delivery; end it and leave through the menu.
leave_shift
hc_exit_through_menu
echo "fare journey e2e: all checks passed"
