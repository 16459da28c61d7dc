#!/usr/bin/env bash
# The real game's share of one processor core under Xvfb, in its default window: ten
# seconds each in the main menu, the options screen, the garage and a driven arcade
# shift (engine on, accelerator held), read from /proc as user plus system time, with
# the X server's share over the same ten seconds beside it.
#   scripts/cpu_share.sh [game binary=build/bin/hazardcab] [seconds=10]
# HAZARDCAB_PRESENTATION (surface or renderer; unset, the game chooses) is passed on to
# the game. The frames the window showed in each stretch and the presentation the game
# chose come from its frame log (HAZARDCAB_FRAME_LOG).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
game=$(realpath "${1:-$root/build/bin/hazardcab}")
seconds=${2:-10}
command -v Xvfb >/dev/null && command -v xdotool >/dev/null || { echo "needs Xvfb and xdotool" >&2; exit 1; }
out=$(mktemp -d)
xvfb="" pid=""
cleanup() {
    [ -z "$pid" ] || { kill -KILL "$pid"; wait "$pid"; } 2>/dev/null || true
    [ -z "$xvfb" ] || { kill -TERM "$xvfb"; wait "$xvfb"; } 2>/dev/null || true
    rm -rf -- "$out"
}
trap cleanup EXIT
for n in $(seq 60 99); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1366x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    for i in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.05; done
    kill -0 "$xvfb" 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ] && { export DISPLAY=:$n; break; }
    { kill -TERM "$xvfb"; wait "$xvfb"; } 2>/dev/null || true
    xvfb=""
done
[ -n "$xvfb" ] || { echo "no free X display" >&2; exit 1; }
# The socket can stand before the server answers.
for i in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.05; done

mkdir "$out/home"
export ALSOFT_DRIVERS=null HAZARDCAB_HOME=$out/home HAZARDCAB_FRAME_LOG=$out/frames.txt
(cd "$(dirname "$game")" && exec "$game") >"$out/console.txt" 2>&1 &
pid=$!
window=
for i in $(seq 200); do
    window=$(xdotool search --name 'Hazard Cab 7700' 2>/dev/null | head -1) && [ -n "$window" ] && break
    sleep 0.05
done
[ -n "$window" ] || { echo "no game window" >&2; cat "$out/console.txt" >&2; exit 1; }
sleep 2
# Without a window manager the focus is given back before every key.
focus() { xdotool windowfocus --sync "$window" 2>/dev/null || true; }
press() { focus; xdotool keydown "$1"; sleep 0.15; xdotool keyup "$1"; sleep 0.3; }
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
# frames FIELD: a count from the frame log (2: frames offered, 4: frames shown).
frames() { [ -s "$out/frames.txt" ] && awk -v f="$1" '{ print $f }' "$out/frames.txt" || echo 0; }
hz=$(getconf CLK_TCK)
measure() {  # LABEL: the game's and the X server's shares over the stretch, and frames a second
    local g0 x0 f0 o0 g1 x1 f1 o1
    kill -0 "$pid" 2>/dev/null || { echo "the game ended before $1" >&2; cat "$out/console.txt" >&2; exit 1; }
    g0=$(ticks "$pid") x0=$(ticks "$xvfb") f0=$(frames 4) o0=$(frames 2)
    sleep "$seconds"
    g1=$(ticks "$pid") x1=$(ticks "$xvfb") f1=$(frames 4) o1=$(frames 2)
    awk -v l="$1" -v g=$((g1 - g0)) -v x=$((x1 - x0)) -v f=$((f1 - f0)) -v o=$((o1 - o0)) -v hz="$hz" -v s="$seconds" \
        -v haslog="$([ -s "$out/frames.txt" ] && echo 1 || echo 0)" 'BEGIN {
            printf "%-18s game %5.1f %%   X server %4.1f %%   frames a second: %s\n", l, g / hz / s * 100,
                x / hz / s * 100, haslog ? sprintf("%.1f drawn, %.1f shown", o / s, f / s) : "n/a"
        }'
}

# Keys pressed during a dissolve are thrown away, and a dissolve takes two seconds or
# more on a busy machine: every change of screen is given six.
measure "main menu"
press Up; press Up; press Up; press Return; sleep 6   # options, third from the bottom
measure "options"
press Escape; sleep 6
press Down; press Down; press Down; press Return; sleep 6   # career, fourth: the garage
measure "garage"
press Escape; sleep 6                           # saved, back at the menu
press Return; sleep 6; press s; sleep 1         # arcade, the engine started
focus; xdotool keydown Up
measure "driving (arcade)"
xdotool keyup Up
kill -TERM "$pid"; wait "$pid" 2>/dev/null || true
pid=""
# The game writes its frame log once a second: the presentation it chose is in it. A
# game without the log (an older build) presented through SDL's renderer.
path=$(sed -n 's/.*presentation //p' "$out/frames.txt" 2>/dev/null)
echo "presentation: ${path:-renderer}"
