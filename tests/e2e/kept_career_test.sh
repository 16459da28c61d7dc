#!/usr/bin/env bash
# What the real game keeps between runs. A career and a best score are put in the save
# folder; the first run buys the turbo and leaves through "Save and exit", and is
# closed; the second run finds the money and the stage in the garage, and an arcade
# game's "time's up!" picture shows the kept best score under the score.
# Usage: kept_career_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
HC_BUILD=$build
source "$(dirname "$0")/lib.sh"
hc_e2e_init
hc_start_xvfb
export HAZARDCAB_HOME="$HC_TMP/home"  # as hc_e2e_init sets it
mkdir -p "$HAZARDCAB_HOME"
career="$HAZARDCAB_HOME/career.txt"

# A save file: the lines, then "checksum" and their CRC-32 (gzip's trailer holds it).
hc_save_file() {
    local body
    body=$(printf '%s\n' "$@")$'\n'
    printf '%schecksum %08x\n' "$body" "0x$(printf '%s' "$body" | gzip -c | tail -c 8 | od -An -tx4 -N4 | tr -d ' ')"
}
hc_save_file "hazardcab career 1" "money 1000" "turbo 0" "brakes 0" "radiator 0" "tyres 0" \
    "bodywork-wear 0" "brake-wear 0" "engine-wear 0" "shifts 3" "fares 7" "earned 1500" >"$career"
hc_save_file "hazardcab best-scores 1" "score 500 2024-01-01" >"$HAZARDCAB_HOME/best-scores.txt"

# Run 1: career mode, Left to the turbo, buy it, Left twice to "Save and exit".
hc_launch "$build"
hc_shot menu
hc_tap Down; hc_tap Return
hc_shot garage
hc_tap Left; hc_tap Return; hc_tap Left; hc_tap Left; hc_tap Return
hc_wait_for 10 grep -qx 'money 800' "$career" || hc_fail "the career was not saved: $(cat "$career")"
hc_shot menu_again
hc_stop_game
grep -qx 'turbo 1' "$career" || hc_fail "the turbo was not saved"
grep -qx 'shifts 3' "$career" || hc_fail "the books were not kept"
! grep -q 'Cannot' "$HC_GAME_OUT" || hc_fail "a save file was refused"

# Run 2: the garage resumes the career; leaving saves it again as it was.
hc_launch "$build"
hc_shot menu
hc_tap Down; hc_tap Return
hc_shot garage
hc_tap Escape
hc_shot menu_again
grep -qx 'money 800' "$career" && grep -qx 'turbo 1' "$career" || hc_fail "the career did not resume: $(cat "$career")"

# An arcade game ended at once: score 0, and the kept best score 500 under it.
hc_tap Return
hc_wait_line "Generating map" 20
hc_shot driving
hc_tap Escape
hc_wait_grey 15
hc_shot timesup
# The lines are written in near-white (index 22) over the greyed picture: the score at
# rows 222-234, the best score's line 20 rows lower.
white_in_rows() { hc_bmp_rect "$timesup" 200 "$1" 440 "$2" | tr ' ' '\n' | grep -cx 22 || true; }
[ "$(white_in_rows 222 234)" -gt 30 ] || hc_fail "no score line"
[ "$(white_in_rows 242 256)" -gt 30 ] || hc_fail "no best-score line under the score"
hc_tap Return
hc_shot menu_last
grep -q '^score 500 2024-01-01$' "$HAZARDCAB_HOME/best-scores.txt" || hc_fail "the best scores changed"
hc_exit_through_menu
# No settings were changed, and no temporary file is left.
[ "$(ls "$HAZARDCAB_HOME" | tr '\n' ' ')" = "best-scores.txt career.txt " ] ||
    hc_fail "unexpected files: $(ls "$HAZARDCAB_HOME")"
echo "kept career e2e: all checks passed"
