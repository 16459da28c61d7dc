#!/usr/bin/env bash
# Data files made to hurt the game, each in place of one of its own: every one is refused
# with one line naming it, at once, and the game's peak memory stays within 50 MB of a
# normal start. A bad music track leaves the game at its menu with the music off; a bad
# pack ends the start with status 1 (and the sound device closed); a bad icon leaves the
# window without it.
# Usage: hostile_data_test.sh BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/lib.sh"
hc_init "$1"
make=(python3 "$(dirname "$0")/hostile_files.py")
fixtures=$(cd "$(dirname "$0")/../../tools/musicgen/fixtures" && pwd)
track=$HC_BUILD/data/audio/track1.ogg

peak_kb() { awk '/^VmHWM:/ { print $2 }' "/proc/$HC_PID/status"; }
within_budget() { [ "$2" -le $((baseline + 50 * 1024)) ] || hc_fail "$1: peak $2 KB, a normal start $baseline KB"; }

normal=$(hc_game_dir normal)
hc_start "$normal"
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
sparse() { cp "$track" "$1" && truncate -s 3G "$1"; }
menu_case sparse-track audio/track1.ogg ": it is larger than 16777216 bytes" sparse
menu_case chained-track audio/track1.ogg ": it is a chain of more than 4 streams" \
    "${make[@]}" chain "$fixtures/short_44k_stereo.ogg" 3000
menu_case comment-track audio/track1.ogg ": it holds a packet larger than 262144 bytes" \
    "${make[@]}" comment "$track" 1000000
menu_case fifo-track audio/track1.ogg ": it is not a regular file" mkfifo
menu_case huge-icon icons/hazardcab-64.bmp " is not used: it claims to be 16384 x 16384 pixels" \
    "${make[@]}" icon
grep -q 'Could not open stream' "$HC_OUT" && hc_fail "huge-icon: the music did not play"

# A bad pack ends the start: status 1, the line, no complaint about the sound device.
pack_case() {
    local name=$1 line=$2 dir
    shift 2
    dir=$(hc_game_dir "$name")
    rm "$dir/data/graphics.pak"
    "$@" "$dir/data/graphics.pak"
    (cd "$dir/bin" && exec /usr/bin/time -f '%M' -o "$HC_TMP/peak" timeout 30 ./hazardcab) >"$HC_TMP/out" 2>&1 ||
        true
    HC_OUT=$HC_TMP/out
    grep -qx "$line" "$HC_OUT" || hc_fail "$name: no line '$line'"
    grep -q 'exited with non-zero status 1' "$HC_TMP/peak" || hc_fail "$name: not status 1"
    ! grep -q 'AL lib' "$HC_OUT" || hc_fail "$name: the sound device was left open"
    within_budget "$name" "$(tail -1 "$HC_TMP/peak")"
    echo "$name: refused, peak $(tail -1 "$HC_TMP/peak") KB"
}
pack_case random-pack "The graphics pack .*/random-pack/data/graphics.pak is damaged: its checksum does not match its pictures" \
    "${make[@]}" pack
pack_case fifo-pack "Cannot read the graphics pack .*/fifo-pack/data/graphics.pak: it is not a regular file" mkfifo
echo "hostile data e2e: all checks passed"
