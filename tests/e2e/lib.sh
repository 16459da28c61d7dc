# Helpers for end-to-end tests of the real game under Xvfb. Source this file, then:
#   hc_e2e_init                  temp folder ($HC_TMP) and a cleanup trap
#   hc_start_xvfb                X server on a free display; sets DISPLAY, HC_XVFB_PID
#   hc_start_game BUILD          runs BUILD/bin/hazardcab from BUILD/bin, silent audio,
#                                console in $HC_GAME_OUT; sets HC_GAME_PID
#   hc_wait_line TEXT [SECS]     waits until the console has a line containing TEXT
#   hc_wait_window [SECS]        waits for the game window; sets HC_WINDOW
#   hc_hold_key KEY [SECS]       holds a key down in the focused game window
#   hc_stop_game                 SIGTERM to the game; sets HC_GAME_STATUS
#   hc_fail MESSAGE              prints the console so far and fails the test
# Everything started here is ended by pid when the script exits; files the test
# registers with hc_remove_later are deleted too.

HC_XVFB_PID=""
HC_GAME_PID=""
HC_TMP=""
HC_REMOVE=()

hc_cleanup() {
    if [ -n "$HC_GAME_PID" ] && kill -0 "$HC_GAME_PID" 2>/dev/null; then
        kill -KILL "$HC_GAME_PID" 2>/dev/null || true
        wait "$HC_GAME_PID" 2>/dev/null || true
    fi
    if [ -n "$HC_XVFB_PID" ] && kill -0 "$HC_XVFB_PID" 2>/dev/null; then
        kill -TERM "$HC_XVFB_PID" 2>/dev/null || true
        wait "$HC_XVFB_PID" 2>/dev/null || true
    fi
    local f
    for f in "${HC_REMOVE[@]+"${HC_REMOVE[@]}"}"; do rm -f -- "$f"; done
    [ -n "$HC_TMP" ] && rm -rf -- "$HC_TMP"
    return 0
}

hc_e2e_init() {
    HC_TMP=$(mktemp -d)
    trap hc_cleanup EXIT
    export ALSOFT_DRIVERS=null
}

hc_remove_later() { HC_REMOVE+=("$1"); }

hc_fail() {
    echo "FAIL: $*" >&2
    if [ -n "${HC_GAME_OUT:-}" ] && [ -f "$HC_GAME_OUT" ]; then
        echo "--- console so far:" >&2
        cat -v "$HC_GAME_OUT" >&2
    fi
    exit 1
}

# hc_wait_for SECS COMMAND...: runs COMMAND every 0.05 s until it succeeds.
hc_wait_for() {
    local limit=$1
    shift
    local end=$((SECONDS + limit))
    while ! "$@"; do
        [ "$SECONDS" -ge "$end" ] && return 1
        sleep 0.05
    done
    return 0
}

hc_start_xvfb() {
    local n
    for n in $(seq 60 99); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1366x768x24 -nolisten tcp >"$HC_TMP/xvfb.log" 2>&1 &
        HC_XVFB_PID=$!
        if hc_wait_for 10 test -e "/tmp/.X11-unix/X$n" && kill -0 "$HC_XVFB_PID" 2>/dev/null; then
            export DISPLAY=":$n"
            return 0
        fi
        # Another server took the number first: try the next one.
        kill -TERM "$HC_XVFB_PID" 2>/dev/null || true
        wait "$HC_XVFB_PID" 2>/dev/null || true
        HC_XVFB_PID=""
    done
    hc_fail "no free X display"
}

hc_start_game() {
    local build=$1
    HC_GAME_OUT="$HC_TMP/console.txt"
    : >"$HC_GAME_OUT"
    (cd "$build/bin" && exec ./hazardcab) >"$HC_GAME_OUT" 2>&1 &
    HC_GAME_PID=$!
}

hc_has_line() { grep -qF -- "$1" "$HC_GAME_OUT"; }

hc_wait_line() {
    hc_wait_for "${2:-20}" hc_has_line "$1" || hc_fail "no console line containing '$1'"
}

hc_find_window() {
    HC_WINDOW=$(xdotool search --name 'Hazard Cab 7700' 2>/dev/null | head -1)
    [ -n "$HC_WINDOW" ]
}

hc_wait_window() {
    hc_wait_for "${1:-20}" hc_find_window || hc_fail "no game window"
}

hc_hold_key() {
    xdotool windowfocus --sync "$HC_WINDOW" 2>/dev/null || true
    xdotool keydown "$1"
    # Held long enough for the game to poll it down at least once.
    sleep "${2:-0.3}"
    xdotool keyup "$1"
}

hc_game_gone() { ! kill -0 "$HC_GAME_PID" 2>/dev/null; }

hc_stop_game() {
    kill -TERM "$HC_GAME_PID"
    hc_wait_for 20 hc_game_gone || hc_fail "the game did not end after SIGTERM"
    HC_GAME_STATUS=0
    wait "$HC_GAME_PID" || HC_GAME_STATUS=$?
    HC_GAME_PID=""
}
