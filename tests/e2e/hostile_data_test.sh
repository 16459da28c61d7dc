#!/usr/bin/env bash
# Data files made to hurt the real game in place of its own (the unit tests hold the full tables of refusals): each is
# refused at once with one line naming it, the peak memory within 50 MB of a normal start. A 3 GB music track leaves
# the menu without music, a FIFO icon the window without it; a FIFO pack ends the start with status 1, sound closed.
# Usage: hostile_data_test.sh BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/lib.sh"
hc_init "$1"

peak_kb() { awk '/^VmHWM:/ { print $2 }' "/proc/$HC_PID/status"; }
within_budget() { [ "$2" -le $((baseline + 50 * 1024)) ] || hc_fail "$1: peak $2 KB, a normal start $baseline KB"; }

hc_start "$(hc_game_dir normal)"
hc_shot menu 30
baseline=$(peak_kb)
hc_close

# menu_case NAME FILE LINE MAKER...: FILE of the data folder made by MAKER (given the
# path); the game must reach its menu having said LINE (after the file's path).
menu_case() {
    local name=$1 file=$2 line=$3 dir peak
    shift 3
    dir=$(hc_game_dir "$name")
    rm "$dir/data/$file"
    "$@" "$dir/data/$file"
    hc_start "$dir"
    hc_shot menu 30
    hc_has_line "$dir/data/$file$line" || hc_fail "$name: no line '$line'"
    peak=$(peak_kb)
    hc_close
    within_budget "$name" "$peak"
    echo "$name: refused, peak $peak KB (normal $baseline KB)"
}
sparse() { cp "$HC_BUILD/data/audio/track1.ogg" "$1" && truncate -s 3G "$1"; }
menu_case sparse-track audio/track1.ogg ": it is larger than 16777216 bytes" sparse
menu_case fifo-icon icons/hazardcab-64.bmp " is not used: it is not a regular file" mkfifo
grep -q 'Could not open stream' "$HC_OUT" && hc_fail "fifo-icon: the music did not play"

# A pack that is a FIFO ends the start: status 1, the line, no complaint about the sound device.
dir=$(hc_game_dir fifo-pack)
rm "$dir/data/graphics.pak"
mkfifo "$dir/data/graphics.pak"
(cd "$dir/bin" && exec /usr/bin/time -f '%M' -o "$HC_TMP/peak" timeout 30 ./hazardcab) >"$HC_TMP/out" 2>&1 || true
HC_OUT=$HC_TMP/out
grep -qx "Cannot read the graphics pack $dir/data/graphics.pak: it is not a regular file" "$HC_OUT" || hc_fail "fifo-pack: no line"
grep -q 'exited with non-zero status 1' "$HC_TMP/peak" || hc_fail "fifo-pack: not status 1"
! grep -q 'AL lib' "$HC_OUT" || hc_fail "fifo-pack: the sound device was left open"
within_budget fifo-pack "$(tail -1 "$HC_TMP/peak")"
echo "hostile data e2e: all checks passed"
