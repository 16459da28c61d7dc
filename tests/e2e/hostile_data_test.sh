#!/usr/bin/env bash
# The game's data spoiled in every way a player's copy could be: each case on a copy
# of the game (tmp/bin/hazardcab with tmp/data/...). A broken graphics pack stops the
# start with a clear line and a non-zero status, never a crash; broken music is said
# once and the game plays on silently; a pack with a few stray bytes at the end plays.
# Usage: hostile_data_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source "$(dirname "$0")/lib.sh"
hc_e2e_init
hc_start_xvfb

copy="$HC_TMP/game"
fresh_copy() {
    rm -rf "$copy"
    mkdir -p "$copy/bin"
    cp "$build/bin/hazardcab" "$copy/bin/"
    cp -r "$build/data" "$copy/data"
    HC_BUILD=$copy
}

# Runs the copy until it ends by itself; HC_GAME_STATUS is its status.
runs_to_end() {
    hc_start_game "$copy"
    hc_wait_gone 30
}
fails_cleanly() {
    local what=$1 line=$2
    runs_to_end
    [ "$HC_GAME_STATUS" -ne 0 ] || hc_fail "$what: started anyway"
    [ "$HC_GAME_STATUS" -lt 128 ] || hc_fail "$what: crashed (status $HC_GAME_STATUS)"
    grep -qF -- "$line" "$HC_GAME_OUT" || hc_fail "$what: no line '$line'"
    echo "$what: '$(grep -F -- "$line" "$HC_GAME_OUT" | head -1)', status $HC_GAME_STATUS"
}
# Runs the copy to the menu (a screenshot there), then closes it: status 0.
plays() {
    local what=$1
    hc_start_game "$copy"
    hc_wait_line "Just a moment..." 30
    hc_wait_window
    hc_shot menu
    [ "$(hc_bmp_colours "$menu")" -gt 8 ] || hc_fail "$what: the menu is not drawn"
    hc_stop_game
    [ "$HC_GAME_STATUS" = 0 ] || hc_fail "$what: exit status $HC_GAME_STATUS"
    hc_assert_farewell
}

pack="../data/graphics.pak"

fresh_copy; rm -rf "$copy/data"
fails_cleanly "no data folder" "No game data (graphics.pak) found in ../data, "

fresh_copy; head -c 100000 "$build/data/graphics.pak" >"$copy/data/graphics.pak"
fails_cleanly "truncated pack" "The graphics pack $pack is too short"

fresh_copy; : >"$copy/data/graphics.pak"
fails_cleanly "empty pack" "The graphics pack $pack is too short"

fresh_copy; head -c 1000000 /dev/urandom >"$copy/data/graphics.pak"
fails_cleanly "random bytes" "The graphics pack $pack is too"

fresh_copy; rm "$copy/data/graphics.pak"; mkdir "$copy/data/graphics.pak"
fails_cleanly "a folder in place of the pack" "graphics pack $pack"

if [ "$(id -u)" != 0 ]; then
    # As root, permissions do not stop reading, so this case needs an ordinary user.
    fresh_copy; chmod 000 "$copy/data/graphics.pak"
    fails_cleanly "unreadable pack" "graphics pack $pack"
else
    echo "unreadable pack: not tested as root"
fi

# Two stray bytes after the last whole record: a warning, and the game plays.
fresh_copy; printf '\x01\x02' >>"$copy/data/graphics.pak"
plays "padded pack"
grep -qF "Warning: the graphics pack $pack ends in a partial record of 2 bytes, which is ignored" "$HC_GAME_OUT" ||
    hc_fail "padded pack: no warning"
echo "padded pack: warned and played"

# Music: the menu plays track 1. Each spoilt track is named once; the game plays on.
music_case() {
    local what=$1
    plays "$what"
    [ "$(grep -c '^Could not open stream ../data/audio/track1.ogg$' "$HC_GAME_OUT")" = 1 ] ||
        hc_fail "$what: expected one line about track 1"
    echo "$what: said once and played silently"
}
fresh_copy; rm -rf "$copy/data/audio"
music_case "no music folder"
fresh_copy; : >"$copy/data/audio/track1.ogg"
music_case "empty track"
fresh_copy; head -c 3000 /dev/urandom >"$copy/data/audio/track1.ogg"
music_case "not Ogg"

# Cut in the middle: it opens, and whatever comes of the missing end is no crash.
fresh_copy; head -c 300000 "$build/data/audio/track1.ogg" >"$copy/data/audio/track1.ogg"
plays "truncated track"
echo "truncated track: played"

# Mono at 48 kHz is converted on the fly: no complaint.
fresh_copy
sox "$build/data/audio/track1.ogg" -c 1 -r 48000 "$copy/data/audio/track1.ogg"
plays "mono 48 kHz track"
! grep -q 'Could not open stream\|Audio: stream error' "$HC_GAME_OUT" || hc_fail "mono 48 kHz track refused"
echo "mono 48 kHz track: played"
echo "hostile data e2e: all checks passed"
