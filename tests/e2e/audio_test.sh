#!/usr/bin/env bash
# Sound of the real game under Xvfb: without any sound device it says so once and
# plays silently; with OpenAL Soft's wave writer as the device, the game opens it,
# streams to it and closes it cleanly (the writer completes the file on close).
# Usage: audio_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source "$(dirname "$0")/lib.sh"
hc_e2e_init
hc_start_xvfb

for n in 1 2 3 4; do
    [ -s "$build/data/audio/track$n.ogg" ] || hc_fail "track$n.ogg has not been built"
done

# RMS amplitude (0..1) of a WAV file, from the given second on.
rms_of() {
    sox "$1" -n trim "$2" stat 2>&1 | awk '/^RMS +amplitude/ {print $3}'
}

# 1. No sound device at all: one clear line, then the game runs and ends as usual.
export ALSOFT_DRIVERS=no-such-backend
hc_start_game "$build"
hc_wait_line "Screen depth: 1"
[ "$(grep -c '^Audio: no sound device' "$HC_GAME_OUT")" = 1 ] || hc_fail "expected one no-device line"
grep -q '^Audio: initializing engine$' "$HC_GAME_OUT" || hc_fail "no audio start line"
hc_wait_window
hc_stop_game
[ "$HC_GAME_STATUS" = 0 ] || hc_fail "exit status $HC_GAME_STATUS without a sound device"
grep -qF 'Thanks for playing!' "$HC_GAME_OUT" || hc_fail "no exit screen without a sound device"

# 2. The wave writer as the device: everything the game plays lands in a WAV file.
unset ALSOFT_DRIVERS
wav="$HC_TMP/out.wav"
printf '[general]\ndrivers = wave\n[wave]\nfile = %s\n' "$wav" >"$HC_TMP/alsoft.conf"
export ALSOFT_CONF="$HC_TMP/alsoft.conf"
hc_start_game "$build"
hc_wait_line "Screen depth: 1"
hc_wait_window
! grep -q '^Audio: no sound device' "$HC_GAME_OUT" || hc_fail "the wave device was not used"
# The writer runs in real time: wait for about six seconds of sound (at most 48 kHz,
# stereo, 32-bit samples: 384 KB a second; 16-bit 44.1 kHz needs 1.1 MB).
wav_big() { [ -f "$wav" ] && [ "$(stat -c %s "$wav")" -gt 2300000 ]; }
hc_wait_for 60 wav_big || hc_fail "the device wrote too little sound"
hc_stop_game
[ "$HC_GAME_STATUS" = 0 ] || hc_fail "exit status $HC_GAME_STATUS with the wave device"
! grep -q 'Could not open stream\|Audio: stream error' "$HC_GAME_OUT" || hc_fail "music failed"

length=$(sox --i -D "$wav")
awk -v l="$length" 'BEGIN { exit !(l >= 4) }' || hc_fail "only $length s of sound recorded"
rate=$(sox --i -r "$wav")
channels=$(sox --i -c "$wav")
[ "$channels" = 2 ] || hc_fail "the device wrote $channels channels"
whole=$(rms_of "$wav" 0)
echo "recorded ${length}s at ${rate} Hz, RMS ${whole}"
# Below full scale: the engine never clips the mix.
peak=$(sox "$wav" -n stat 2>&1 | awk '/^Maximum amplitude/ {print $3}')
awk -v p="$peak" 'BEGIN { exit !(p < 0.99) }' || hc_fail "the recording clips (peak $peak)"
# The menu theme is audible: well above the noise floor of a silent device.
awk -v r="$whole" 'BEGIN { exit !(r > 0.005) }' || hc_fail "the menu music is too quiet (RMS $whole)"

# 3. The engine's tone in a game: music off (F1), then the level before and after S.
HC_BUILD=$build
wav="$HC_TMP/engine.wav"
printf '[general]\ndrivers = wave\n[wave]\nfile = %s\n' "$wav" >"$HC_TMP/alsoft.conf"
hc_start_game "$build"
hc_wait_line "Just a moment..." 30
hc_wait_window
hc_shot menu
hc_tap Return
hc_wait_line "Generating map" 20
hc_shot game
hc_tap F1
sleep 2.5
quiet_mark=$(stat -c %s "$wav")
hc_tap s
sleep 2.5
engine_mark=$(stat -c %s "$wav")
hc_stop_game
[ "$HC_GAME_STATUS" = 0 ] || hc_fail "exit status $HC_GAME_STATUS in the engine run"
rate=$(sox --i -r "$wav"); channels=$(sox --i -c "$wav"); bits=$(sox --i -b "$wav")
bps=$((rate * channels * bits / 8))
# One second before each mark (the header's few bytes do not matter at this scale).
level_before() { sox "$wav" -n trim "$(awk -v b="$1" -v r="$bps" 'BEGIN { printf "%.2f", b / r - 1.2 }')" 1 stat 2>&1 | awk '/^RMS +amplitude/ {print $3}'; }
quiet=$(level_before "$quiet_mark")
engine=$(level_before "$engine_mark")
echo "music off: RMS $quiet; engine running: RMS $engine"
awk -v q="$quiet" 'BEGIN { exit !(q < 0.003) }' || hc_fail "not silent with the music off and the engine off (RMS $quiet)"
awk -v q="$quiet" -v e="$engine" 'BEGIN { exit !(e > 0.005 && e > 4 * q) }' || hc_fail "no engine tone after S (RMS $engine)"
echo "audio e2e: all checks passed"
