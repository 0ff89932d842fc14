# Shared by the end-to-end tests: start the real program under the current X display, find its
# window, take screenshots, send keys, and wait for it to end. Each test stops by itself.
set -u
work=$(mktemp -d)
pid=
wid=
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

# start [env assignments...]: runs the program with stdout and stderr captured, finds its window.
start() {
    env SDL_AUDIODRIVER=dummy "$@" "$bin" >"$work/stdout" 2>"$work/stderr" &
    pid=$!
    wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Lumenfold$' 2>/dev/null | head -n 1)
    [ -n "$wid" ] || fail "no visible window named Lumenfold within 20 s"
}

# A visible Lumenfold window that is not among the ids given; waits up to 20 s. (freeglut does
# not set _NET_WM_PID, so a search by process finds every Lumenfold window.)
new_window() {
    local known=" $* " candidate
    for _ in $(seq 200); do
        for candidate in $(xdotool search --onlyvisible --name '^Lumenfold$' 2>/dev/null); do
            case $known in *" $candidate "*) ;; *) echo "$candidate"; return 0 ;; esac
        done
        sleep 0.1
    done
    return 1
}

key() { xdotool key --window "$wid" "$@" 2>/dev/null; }

# shot NAME: a screenshot of the window as $work/NAME.png
shot() { timeout 10 import -window "$wid" "$work/$1.png" 2>/dev/null || fail "no screenshot of window $wid"; }

# Number of pixels that differ between two screenshots.
differing() { compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1 | cut -d' ' -f1; }

# Largest channel value in a region WxH+X+Y of a screenshot (0 for black).
brightest() { convert "$work/$1.png" -crop "$2" +repage -format '%[fx:int(255*maxima)]' info:; }

# Waits up to 20 s for the program to end and sets `status` to its exit status.
finish() {
    for _ in $(seq 200); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && fail "the program did not end within 20 s"
    wait "$pid"
    status=$?
    pid=
}
