#!/usr/bin/env bash
# The real game under Xvfb with real keys: a start without a display, one session through every screen, and a window
# closed during a dissolve with no sound device and broken music (the unit tests hear the music through OpenAL).
# Usage: game_test.sh BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/lib.sh"
hc_init "$1"

# --- No display: one line saying why, and status 1 (the other tests start it without its data or with a bad pack).
DISPLAY='' hc_run "$(hc_game_dir bad)"
[ "$HC_STATUS" = 1 ] && [ "$(grep -c '^Cannot open a display: ' "$HC_OUT")" = 1 ] || hc_fail "no display: status $HC_STATUS"

# --- One session through every screen. The save folder holds a career with money to spend and a best score of 500.
save_file() {  # the lines, then "checksum" and their CRC-32 (gzip's trailer holds it)
    local body
    body=$(printf '%s\n' "$@")$'\n'
    printf '%schecksum %08x\n' "$body" "0x$(printf '%s' "$body" | gzip -c | tail -c 8 | od -An -tx4 -N4 | tr -d ' ')"
}
career=$HAZARDCAB_HOME/career.txt
save_file "hazardcab career 1" "money 1000" "turbo 0" "brakes 0" "radiator 0" "tyres 0" \
    "bodywork-wear 0" "brake-wear 0" "engine-wear 0" "shifts 3" "fares 7" "earned 1500" >"$career"
save_file "hazardcab best-scores 1" "score 500 2024-01-01" >"$HAZARDCAB_HOME/best-scores.txt"
hc_start "$(hc_game_dir game)"
hc_wait_line "Screen depth: 1"
diff <(head -5 "$HC_OUT" | cat -v | sed -E 's/[0-9]+ Kbytes free/N Kbytes free/') - <<'EOF' ||
N Kbytes free
Map size is 20480 Kbytes
Audio: initializing engine
Setting resolution to  1360x 768
Screen depth: 1
EOF
    hc_fail "start-up lines"

# The main menu: F2 writes a 640 x 480 picture of 256 colours that reads back.
hc_shot menu
title=$(xdotool getwindowname "$HC_WINDOW")
[ "$title" = "Hazard Cab 7700 [Software]" ] || hc_fail "window title '$title'"
[ "$(stat -c %s "$menu")" = $((14 + 40 + 1024 + 640 * 480)) ] || hc_fail "not an 8-bit 640 x 480 BMP"
convert "$menu" "$HC_TMP/menu.png" || hc_fail "the screenshot does not read back"
read -r size colours < <(identify -format '%wx%h %k\n' "$HC_TMP/menu.png")
[ "$size" = 640x480 ] && [ "$colours" -gt 8 ] || hc_fail "menu picture: $size, $colours colours"
# Back at the menu: its picture again, give or take the blinking entry.
at_menu() { hc_shot again; ! hc_differ "$menu" "$again" 3000 || hc_fail "$1: not back at the menu"; }
# [AREA=GEOMETRY] step NAME WAS PIXELS WHY KEY...: the keys, then a screenshot NAME that differs from WAS (within
# AREA) in more than PIXELS pixels.
step() {
    hc_keys "${@:5}"
    hc_shot "$1"
    hc_differ "$2" "${!1}" "$3" "${AREA:-}" || hc_fail "$4"
}

# Arcade: the driver's view; Tab shows the map in place of the cockpit, whose speed read-out stays dark until S; Esc
# ends the shift at "time's up!", where F2 takes the score and, under it, the kept best score (near-white lines).
speedo=60x17+280+458
step world "$menu" 5000 "the arcade game looks like the menu" Return
AREA=$speedo step map "$world" 50 "the cockpit is still drawn over the map" Tab
AREA=$speedo step running "$world" 50 "no speed read-out after S" Tab s
hc_keys Escape
hc_wait_grey "arcade"
hc_shot timesup
white_in_rows() {
    convert "$timesup" -crop "240x$(($2 - $1))+200+$1" +repage -fill black +opaque 'rgb(252,252,252)' \
        -format '%[fx:round(mean.r * w * h * 255 / 252)]' info:
}
[ "$(white_in_rows 222 234)" -gt 30 ] && [ "$(white_in_rows 242 256)" -gt 30 ] ||
    hc_fail "no score and best-score lines on the time's up picture"
hc_keys Return
at_menu "arcade"

# Career (fourth, under the assists' free ride and city of the day): the kept career in
# the garage, the turbo bought, "Go to work", a shift, back in the garage, Esc saves and leaves.
step garage0 "$menu" 5000 "the garage looks like the menu" Down Down Down Return
bank=120x10+0+460
AREA=$bank step garage "$garage0" 20 "the turbo cost nothing" Left Return Right
step work "$garage" 5000 "no shift from the garage" Return
hc_keys Escape
hc_wait_grey "career"
hc_keys Return
hc_shot garage2
! hc_differ "$garage" "$garage2" 3000 || hc_fail "not back in the garage"
hc_keys Escape
at_menu "career"

# Help ("read this!", two up): Enter turns the page, Esc leaves.
step page1 "$menu" 5000 "the help pages look like the menu" Up Up Return
step page2 "$page1" 2000 "page 2 looks like page 1" Return
hc_keys Escape
at_menu "help"

# Options (third from the bottom): Enter on gamma changes the picture's colour table; three more bring it back.
hc_keys Up Up Up Return
hc_shot options
hc_keys Return
hc_shot gamma
! cmp -s <(head -c 1078 "$options") <(head -c 1078 "$gamma") || hc_fail "gamma changed no colour"
hc_keys Return Return Return Escape
at_menu "options"

hc_exit_via_menu
! grep -E 'not saved|Could not open stream|stream error|Cannot' "$HC_OUT" || hc_fail "a screenshot, the music or a save failed"
for line in 'money 800' 'turbo 1' 'shifts 4' 'earned 1500'; do
    grep -qx "$line" "$career" || hc_fail "the career was not kept: no '$line' in $(cat "$career")"
done
grep -qx 'score 500 2024-01-01' "$HAZARDCAB_HOME/best-scores.txt" || hc_fail "the best scores changed"

# --- Started again, the garage resumes the kept career: the bank as it was left.
hc_start "$(hc_game_dir again)"
hc_shot menu
hc_keys Down Down Down Return  # the career, under the free ride and city of the day
hc_shot resumed
! hc_differ "$garage" "$resumed" 0 "$bank" || hc_fail "the garage did not resume the career"
hc_close

# --- No sound device, a menu track that is not Ogg and two stray bytes after the graphics pack: each is said once and
# the game goes on to the menu; the window closed as the menu fades in still ends through the exit screen.
odd=$(hc_game_dir odd)
rm "$odd/data/audio/track1.ogg" "$odd/data/graphics.pak"
head -c 3000 /dev/urandom >"$odd/data/audio/track1.ogg"
{ cat "$HC_BUILD/data/graphics.pak"; printf '\1\2'; } >"$odd/data/graphics.pak"
ALSOFT_DRIVERS=no-such-device hc_start "$odd"
hc_wait_line "Could not open stream $odd/data/audio/track1.ogg"
hc_close
hc_assert_farewell "closed during a dissolve"
for line in 'Audio: no sound device' 'Could not open stream' \
    "Warning: the graphics pack $odd/data/graphics.pak ends in a partial record of 2 bytes"; do
    [ "$(grep -c "^$line" "$HC_OUT")" = 1 ] || hc_fail "not said once: $line"
done
echo "game e2e: all checks passed"
