# Shared by the end-to-end tests: start the real program under the current X display, find its
# window, take screenshots, send keys, and wait for it to end. Each test stops by itself.
# Nothing here assumes an idle machine: every step waits for an event (a window, a picture, a
# file, an exit), bounded by a generous limit, and a wait that runs out says what did not happen.
set -u
# A loaded machine or a sanitizer build is several times slower than a quiet one.
wait_limit=${E2E_WAIT_SECONDS:-180}
work=$(mktemp -d)
pid=
wid=
bin_args=()
extra_pids=()
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    for other in "${extra_pids[@]}"; do kill "$other" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    [ -s "$work/stderr" ] && grep -v XGetInputFocus "$work/stderr" | sed 's/^/  stderr: /' | head -20
    exit 1
}

# wait_for WHAT COMMAND...: runs COMMAND until it succeeds; fails saying that WHAT did not happen
# within the limit, or that the program ended while waiting for it.
wait_for() {
    local what=$1 deadline=$((SECONDS + wait_limit))
    shift
    until "$@"; do
        if [ -n "$pid" ] && ! kill -0 "$pid" 2>/dev/null; then
            fail "the program ended while waiting: $what"
        fi
        [ "$SECONDS" -lt "$deadline" ] || fail "$what: did not happen within $wait_limit s"
        sleep 0.2
    done
}

# True when no Lumenfold window is visible.
no_window() { [ -z "$(xdotool search --onlyvisible --name '^Lumenfold$' 2>/dev/null)" ]; }

# start [env assignments...]: runs the program (with the arguments in bin_args) with stdout and
# stderr captured, and finds its window. An earlier program's window must be gone first: X may
# give the new window the id the old one had.
start() {
    pid=
    wait_for "the windows of earlier programs closing" no_window
    env SDL_AUDIODRIVER=dummy "$@" "$bin" "${bin_args[@]}" >"$work/stdout" 2>"$work/stderr" &
    pid=$!
    wid=$(new_window)
    [ -n "$wid" ] || fail "no visible window named Lumenfold within $wait_limit s"
}

# A visible Lumenfold window that is not among the ids given, waiting for it up to the limit.
# (freeglut does not set _NET_WM_PID, so a search by process finds every Lumenfold window.)
new_window() {
    local known=" $* " candidate deadline=$((SECONDS + wait_limit))
    while [ "$SECONDS" -lt "$deadline" ]; do
        for candidate in $(xdotool search --onlyvisible --name '^Lumenfold$' 2>/dev/null); do
            case $known in *" $candidate "*) ;; *) echo "$candidate"; return 0 ;; esac
        done
        sleep 0.1
    done
    return 1
}

key() { xdotool key --window "$wid" "$@" 2>/dev/null; }

# shot NAME: a screenshot of the window as $work/NAME.png
shot() { timeout 60 import -window "$wid" "$work/$1.png" 2>/dev/null || fail "no screenshot of window $wid"; }

# changed BASE NAME [PIXELS]: takes screenshot NAME; true when it differs from BASE in more than
# PIXELS pixels (default 1000).
changed() { shot "$2" && [ "$(differing "$1" "$2")" -gt "${3:-1000}" ]; }

# same_as NAME REFERENCE: takes screenshot NAME; true when it equals REFERENCE pixel for pixel.
same_as() { shot "$1" && [ "$(differing "$1" "$2")" = 0 ]; }

# at_rest NAME: true when two screenshots a moment apart are identical (the last is NAME).
at_rest() { shot "$1-before" && sleep 0.3 && shot "$1" && [ "$(differing "$1-before" "$1")" = 0 ]; }

# Number of pixels that differ between two screenshots.
differing() { compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1 | cut -d' ' -f1; }

# Number of pixels that differ between two screenshots within a region WxH+X+Y.
differing_in() {
    convert "$work/$2.png" -crop "$1" +repage "$work/$2-region.png" &&
        convert "$work/$3.png" -crop "$1" +repage "$work/$3-region.png" &&
        differing "$2-region" "$3-region"
}

# Largest channel value in a region WxH+X+Y of a screenshot (0 for black).
brightest() { convert "$work/$1.png" -crop "$2" +repage -format '%[fx:int(255*maxima)]' info:; }

# Waits for the program to end and sets `status` to its exit status.
finish() {
    local deadline=$((SECONDS + wait_limit))
    while kill -0 "$pid" 2>/dev/null && [ "$SECONDS" -lt "$deadline" ]; do
        sleep 0.05
    done
    kill -0 "$pid" 2>/dev/null && fail "the program did not end within $wait_limit s"
    wait "$pid"
    status=$?
    pid=
}
