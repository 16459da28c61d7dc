# shellcheck shell=bash
# Helpers for end-to-end tests of the real game under Xvfb. A script sources this file
# and calls hc_init BUILD_DIR first; everything started here is ended by pid at exit.
#   hc_game_dir NAME     prints a game folder $HC_TMP/NAME: a copy of the game in bin/, data/ linking to the build's
#   hc_start DIR [CWD [ARG...]]  runs DIR/bin/hazardcab ARG... from CWD (DIR/bin), console in $HC_OUT;
#                        hc_run the same, until the game ends by itself (HC_STATUS)
#   hc_wait_line TEXT    waits for a console line containing TEXT
#   hc_close, hc_wait_end  SIGTERM (SDL's close request), then waits for the end; its status in HC_STATUS
#   hc_exit_via_menu     from the main menu: "exit", then the exit screen and status 0
# The save folder of every launch is $HAZARDCAB_HOME, a scratch folder.

hc_fail() {
    echo "FAIL: $*" >&2
    [ -f "${HC_OUT:-}" ] && { echo "--- console:" >&2; cat -v "$HC_OUT" >&2; }
    exit 1
}

hc_cleanup() {
    [ -z "$HC_PID" ] || { kill -KILL "$HC_PID"; wait "$HC_PID"; } 2>/dev/null || true
    [ -z "$HC_XVFB" ] || { kill -TERM "$HC_XVFB"; wait "$HC_XVFB"; } 2>/dev/null || true
    rm -rf -- "$HC_TMP"
}

# hc_wait_for SECS COMMAND...: true once COMMAND succeeds, false after SECS.
hc_wait_for() {
    local end=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.05
    done
}

hc_init() {
    HC_BUILD=$(cd "$1" && pwd)
    HC_TMP=$(mktemp -d)
    HC_PID="" HC_XVFB=""
    trap hc_cleanup EXIT
    export ALSOFT_DRIVERS=null HAZARDCAB_HOME=$HC_TMP/home
    mkdir "$HAZARDCAB_HOME"
    # The server takes the first free display and writes it once it accepts connections: two tests starting at once
    # cannot share one. -noreset: a reset when the last client leaves would leave a game started then no display.
    Xvfb -displayfd 3 -noreset -screen 0 1366x768x24 -nolisten tcp 3>"$HC_TMP/display" >/dev/null 2>&1 &
    HC_XVFB=$!
    hc_wait_for 20 grep -q '^[0-9][0-9]*$' "$HC_TMP/display" || hc_fail "no X server"
    export DISPLAY=":$(head -1 "$HC_TMP/display")"
}

hc_game_dir() {
    local dir=$HC_TMP/$1
    mkdir -p "$dir/bin"
    cp "$HC_BUILD/bin/hazardcab" "$dir/bin/"  # a copy: the game also looks beside itself
    cp -rs "$HC_BUILD/data" "$dir/data"
    echo "$dir"
}

# The console is emptied before the game starts, not by the background launch, which could show the last run's lines.
hc_start() {
    local dir=$1
    HC_CWD=${2:-$1/bin} HC_OUT=$HC_TMP/console.txt HC_WINDOW=""
    shift $(($# < 2 ? $# : 2))
    : >"$HC_OUT"
    (cd "$HC_CWD" && exec "$dir/bin/hazardcab" "$@") >>"$HC_OUT" 2>&1 &
    HC_PID=$!
}

hc_run() { hc_start "$@"; hc_wait_end 30; }

hc_has_line() { grep -qF -- "$1" "$HC_OUT"; }
hc_wait_line() { hc_wait_for "${2:-20}" hc_has_line "$1" || hc_fail "no console line '$1'"; }

hc_find_window() { HC_WINDOW=$(xdotool search --name 'Hazard Cab 7700' 2>/dev/null | head -1) && [ -n "$HC_WINDOW" ]; }

# hc_keys KEY...: each key pressed in the game window; the game acts on a release after it saw the key down: each is
# held 150 ms, let go 100 ms, frames even on a busy machine.
hc_keys() {
    [ -n "$HC_WINDOW" ] || hc_wait_for 20 hc_find_window || hc_fail "no game window"
    xdotool windowfocus --sync "$HC_WINDOW" 2>/dev/null || true
    local key
    for key in "$@"; do
        xdotool keydown "$key"; sleep 0.15; xdotool keyup "$key"; sleep 0.1
    done
}

hc_shots() { grep -c '^Saved grab' "$HC_OUT" || true; }
hc_new_shot() { [ "$(hc_shots)" -gt "$before" ]; }

# hc_shot VAR: F2 until the game names a new screenshot (which shows that the screen polls keys); VAR = its path.
hc_shot() {
    local before end i
    before=$(hc_shots) end=$((SECONDS + ${2:-20}))
    until hc_new_shot; do
        [ "$SECONDS" -lt "$end" ] || hc_fail "no screenshot for '$1'"
        hc_keys F2
        for i in 1 2 3; do hc_new_shot && break; sleep 0.05; done
    done
    printf -v "$1" '%s' "$HC_CWD/$(grep '^Saved grab' "$HC_OUT" | sed -n "$((before + 1))s/^Saved //p")"
}

hc_gone() { ! kill -0 "$HC_PID" 2>/dev/null; }
hc_wait_end() {
    hc_wait_for "${1:-20}" hc_gone || hc_fail "the game did not end"
    HC_STATUS=0
    wait "$HC_PID" || HC_STATUS=$?
    HC_PID=""
}
hc_close() { kill -TERM "$HC_PID"; hc_wait_end; }

# The exit screen: the picture, the farewell, status 0, and no escape sequences in a log file (not a terminal).
hc_assert_farewell() {
    [ "$HC_STATUS" = 0 ] || hc_fail "$1: exit status $HC_STATUS"
    grep -q '^  Thanks for playing!' "$HC_OUT" || hc_fail "$1: no farewell line"
    grep -q '^      444444      444444    0000000000000077' "$HC_OUT" || hc_fail "$1: no exit picture"
    ! grep -q $'\e' "$HC_OUT" || hc_fail "$1: escape sequences in a log file"
}

hc_exit_via_menu() {
    hc_keys Up Return  # "exit" is the last entry, with or without the free ride
    hc_wait_end
    hc_assert_farewell "exit through the menu"
}

# hc_differ A B [PIXELS [GEOMETRY]]: more than PIXELS pixels differ (within GEOMETRY).
hc_differ() {
    local n
    n=$(compare -metric AE ${4:+-extract "$4"} "$1" "$2" null: 2>&1) || true
    awk -v a="$n" -v n="${3:-100}" 'BEGIN { exit !(a + 0 > n) }'
}

# The window holds still on a grey picture, not black: "time's up!" over the darkened game, which takes no screenshot
# while it waits for a key (a dissolve moves, and its last frames are near black).
hc_window_grey() {
    local still=0
    import -window "$HC_WINDOW" "$HC_TMP/now.png" 2>/dev/null || return 1
    [ -f "$HC_TMP/was.png" ] && ! hc_differ "$HC_TMP/was.png" "$HC_TMP/now.png" 0 && still=1
    mv "$HC_TMP/now.png" "$HC_TMP/was.png"
    [ "$still" = 1 ] && convert "$HC_TMP/was.png" -colorspace HSL \
        -format '%[fx:mean.g < 0.01 && mean.b > 0.02]' info: | grep -qx 1
}
hc_wait_grey() { rm -f "$HC_TMP/was.png"; hc_wait_for 15 hc_window_grey || hc_fail "$1: no still grey picture"; }
