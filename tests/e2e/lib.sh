# Helpers for end-to-end tests of the real game under Xvfb. Source this file, then:
#   hc_e2e_init                  temp folder ($HC_TMP), the game's save folder in it
#                                ($HAZARDCAB_HOME) and a cleanup trap
#   hc_start_xvfb                X server on a free display; sets DISPLAY, HC_XVFB_PID
#   hc_start_game BUILD          runs BUILD/bin/hazardcab from BUILD/bin, silent audio,
#                                console in $HC_GAME_OUT; sets HC_GAME_PID
#   hc_wait_line TEXT [SECS]     waits until the console has a line containing TEXT
#   hc_wait_window [SECS]        waits for the game window; sets HC_WINDOW
#   hc_launch BUILD              hc_start_game, then waits for "Just a moment..." and
#                                the window
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
    # Saved careers, scores and settings stay in the test's own folder.
    export HAZARDCAB_HOME="$HC_TMP/home"
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

hc_launch() {
    hc_start_game "$1"
    hc_wait_line "Just a moment..." 30
    hc_wait_window
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

# --- Screenshots and journeys -------------------------------------------------------
#   hc_shot VAR [SECS]           F2 until the game saves a new screenshot (which also
#                                shows that the screen is polling keys); VAR = its path
#   hc_bmp_pixel FILE X Y        palette index of a pixel of an 8-bit screenshot
#   hc_bmp_same A B              true when two screenshots have the same pixels
#   hc_bmp_count FILE INDEX      number of pixels of a palette index
#   hc_bmp_colours FILE          number of distinct palette indices in the picture
#   hc_tap KEY                   a short press and release
#   hc_wait_gone [SECS]          waits for the game to end; sets HC_GAME_STATUS
#   hc_assert_farewell           the exit screen's farewell line is on the console
#   hc_wait_grey [SECS]          waits until the window shows a greyed picture (the
#                                "time's up!" wait, which takes no screenshots)
#   hc_exit_through_menu         from the main menu: Down to "exit", Enter, and the game
#                                ends through the exit screen with status 0

hc_saved_count() { grep -c '^Saved grab' "$HC_GAME_OUT" || true; }

hc_shot() {
    local var=$1 limit=${2:-20}
    local before end name
    before=$(hc_saved_count)
    end=$((SECONDS + limit))
    while [ "$(hc_saved_count)" -le "$before" ]; do
        [ "$SECONDS" -ge "$end" ] && hc_fail "no screenshot within ${limit}s"
        hc_hold_key F2 0.15
        local i
        for i in $(seq 1 10); do
            [ "$(hc_saved_count)" -gt "$before" ] && break
            sleep 0.1
        done
    done
    name=$(grep '^Saved grab' "$HC_GAME_OUT" | sed -n "$((before + 1))p" | sed 's/^Saved //')
    local path="$HC_BUILD/bin/$name"
    hc_remove_later "$path"
    hc_wait_for 5 test -s "$path" || hc_fail "screenshot $path was not written"
    printf -v "$var" '%s' "$path"
}

# The pixel array of an 8-bit BMP: its offset is stored at byte 10.
hc_bmp_offset() { od -An -tu4 -j10 -N4 "$1" | tr -d ' '; }

hc_bmp_pixel() {
    local file=$1 x=$2 y=$3 off
    off=$(hc_bmp_offset "$file")
    # Rows are stored bottom-up, 640 bytes each.
    od -An -tu1 -j$((off + (479 - y) * 640 + x)) -N1 "$file" | tr -d ' '
}

hc_bmp_same() {
    local oa ob
    oa=$(hc_bmp_offset "$1"); ob=$(hc_bmp_offset "$2")
    cmp -s <(tail -c +$((oa + 1)) "$1") <(tail -c +$((ob + 1)) "$2")
}

hc_bmp_count() {
    local off
    off=$(hc_bmp_offset "$1")
    tail -c +$((off + 1)) "$1" | od -An -tu1 -v -w1 | awk -v c="$2" '$1 == c { n++ } END { print n + 0 }'
}

hc_bmp_colours() {
    local off
    off=$(hc_bmp_offset "$1")
    tail -c +$((off + 1)) "$1" | od -An -tu1 -v -w1 | sort -u | wc -l
}

hc_tap() { hc_hold_key "$1" "${2:-0.15}"; sleep 0.1; }

hc_wait_gone() {
    hc_wait_for "${1:-20}" hc_game_gone || hc_fail "the game did not end"
    HC_GAME_STATUS=0
    wait "$HC_GAME_PID" || HC_GAME_STATUS=$?
    HC_GAME_PID=""
}

hc_assert_farewell() {
    grep -qF '  Thanks for playing!' "$HC_GAME_OUT" || hc_fail "no farewell line"
}

hc_window_grey() {
    import -window "$HC_WINDOW" "$HC_TMP/grey.png" 2>/dev/null || return 1
    local sat
    sat=$(convert "$HC_TMP/grey.png" -colorspace HSL -channel G -separate +channel -format '%[fx:mean]' info:)
    awk -v s="$sat" 'BEGIN { exit !(s < 0.05) }'
}
hc_exit_through_menu() {
    local i
    for i in 1 2 3 4; do hc_tap Down; done
    hc_tap Return
    hc_wait_gone 20
    [ "$HC_GAME_STATUS" = 0 ] || hc_fail "exit status $HC_GAME_STATUS"
    hc_assert_farewell
    ! grep -q 'not saved' "$HC_GAME_OUT" || hc_fail "a screenshot was not saved"
}

hc_wait_grey() { hc_wait_for "${1:-15}" hc_window_grey || hc_fail "no greyed picture"; }

# hc_bmp_rect FILE X0 Y0 X1 Y1: the pixels of a rectangle (inclusive), one row a line.
hc_bmp_rect() {
    local file=$1 x0=$2 y0=$3 x1=$4 y1=$5 off
    off=$(hc_bmp_offset "$file")
    # Rows y1 .. y0 are consecutive in the bottom-up file.
    od -An -tu1 -v -w640 -j$((off + (479 - y1) * 640)) -N$(((y1 - y0 + 1) * 640)) "$file" |
        awk -v a="$x0" -v b="$x1" '{ s = ""; for (i = a + 1; i <= b + 1; i++) s = s " " $i; print s }'
}

# hc_capture FILE: the game window as X shows it (for screens that take no screenshot
# while they wait for a key). hc_png_differ A B [PIXELS]: more than PIXELS differ.
hc_capture() { import -window "$HC_WINDOW" "$1" 2>/dev/null || hc_fail "cannot capture the window"; }
hc_png_differ() {
    local n
    n=$(compare -metric AE "$1" "$2" null: 2>&1 >/dev/null | awk '{print int($1)}') || true
    [ "${n:-0}" -gt "${3:-100}" ]
}
# The 1024-byte colour table of a screenshot.
hc_bmp_palette() { od -An -tx1 -v -j54 -N1024 "$1"; }
