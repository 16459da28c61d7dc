#!/usr/bin/env bash
# Start-up, window, screenshot and exit of the real game under Xvfb.
# Usage: startup_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source "$(dirname "$0")/lib.sh"
hc_e2e_init

# Without a display the game says so and fails, without crashing.
status=0
(cd "$build/bin" && env -u DISPLAY -u WAYLAND_DISPLAY ./hazardcab) >"$HC_TMP/nodisplay.txt" 2>&1 || status=$?
[ "$status" -ne 0 ] || hc_fail "started without a display"
[ "$status" -lt 128 ] || hc_fail "crashed without a display (status $status)"
grep -q "^Cannot open a display" "$HC_TMP/nodisplay.txt" || hc_fail "no message without a display: $(cat -v "$HC_TMP/nodisplay.txt")"

hc_start_xvfb
hc_start_game "$build"
hc_wait_line "Screen depth: 1"

# The start-up lines, in order, after the console is cleared.
expected=(
    '^\x1b\[2J\x1b\[H[0-9]+ Kbytes free$'
    '^Map size is 20480 Kbytes$'
    '^Audio: initializing engine$'
    '^Setting resolution to  1360x 768$'
    '^Screen depth: 1$'
)
mapfile -t lines < <(grep -v '^Audio: no sound device' "$HC_GAME_OUT")
for i in "${!expected[@]}"; do
    pattern=$(printf '%b' "${expected[$i]//\\x1b/\\033}")
    [[ "${lines[$i]:-}" =~ $pattern ]] || hc_fail "line $((i + 1)) is '${lines[$i]:-}', expected ${expected[$i]}"
done

hc_wait_window
title=$(xdotool getwindowname "$HC_WINDOW")
[ "$title" = "Hazard Cab 7700 [Software]" ] || hc_fail "window title is '$title'"

# F2 writes a 640 x 480 8-bit screenshot and names it on the console.
# The main menu fades in after loading, and keys pressed during a fade are not
# seen, so the key is pressed again until the game names its screenshot.
hc_wait_line "Just a moment..." 20
grabbed=0
for attempt in 1 2 3 4 5 6 7 8; do
    hc_hold_key F2
    if hc_wait_for 2 grep -q '^Saved grab' "$HC_GAME_OUT"; then
        grabbed=1
        break
    fi
done
[ "$grabbed" = 1 ] || hc_fail "no console line containing 'Saved grab'"
name=$(grep -m1 '^Saved grab' "$HC_GAME_OUT" | sed 's/^Saved //')
shot="$build/bin/$name"
while read -r saved; do hc_remove_later "$build/bin/$saved"; done < <(sed -n 's/^Saved //p' "$HC_GAME_OUT")
[[ "$name" =~ ^grab[0-9]{2}-[0-9]{2}-[0-9]{4}[0-9]{2}:[0-9]{2}:[0-9]{2}(_[0-9]+)?\.bmp$ ]] || hc_fail "odd name '$name'"
[ -f "$shot" ] || hc_fail "no file $shot"
header=$(od -An -tu1 -j0 -N30 "$shot" | tr -s ' \n' ' ')
read -r -a h <<<"$header"
[ "${h[0]}" = 66 ] && [ "${h[1]}" = 77 ] || hc_fail "not a BMP file"
width=$((h[18] + 256 * h[19])); height=$((h[22] + 256 * h[23])); bits=$((h[28]))
[ "$width" = 640 ] && [ "$height" = 480 ] && [ "$bits" = 8 ] || hc_fail "screenshot is ${width}x${height}x${bits}"
[ "$(stat -c %s "$shot")" = $((14 + 40 + 1024 + 640 * 480)) ] || hc_fail "screenshot has the wrong size"

# SIGTERM is the window being closed: the exit screen, then status 0.
hc_stop_game
[ "$HC_GAME_STATUS" = 0 ] || hc_fail "exit status $HC_GAME_STATUS"
grep -qF $'\e[30;44m\e[1;1H  ' "$HC_GAME_OUT" || hc_fail "no blue picture background"
grep -qF $'\e[30;41m\e[7;1H  ' "$HC_GAME_OUT" || hc_fail "row 7 does not start red"
grep -qF $'\e[37;40m\e[19;1H  Thanks for playing!' "$HC_GAME_OUT" || hc_fail "no farewell at line 19"
echo "startup e2e: all checks passed"
