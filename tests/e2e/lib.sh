# Shared by the end-to-end tests: start the real program under the current X display, find its
# window, take screenshots, send keys, read what the program reports about itself, listen to its
# sound, and wait for it to end. Each test stops by itself.
# Nothing here assumes an idle machine: every step waits for an event (a window, a picture, a
# file, a state the program reports, an exit), bounded by a generous limit, and a wait that runs
# out says what did not happen. Whether the show is paused is asked of the program, never judged
# from two equal pictures: a loaded machine may draw a playing show too rarely to tell.
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
# stderr captured, reporting itself in $report, and finds its window. An earlier program's window
# must be gone first: X may give the new window the id the old one had.
start() {
    pid=
    wait_for "the windows of earlier programs closing" no_window
    rm -f "$report"
    env SDL_AUDIODRIVER=dummy LUMENFOLD_REPORT="$report" "$@" "$bin" "${bin_args[@]}" \
        >"$work/stdout" 2>"$work/stderr" &
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

# ---- What the program reports (player/run_report.h): one line of names and values, rewritten
# after every frame its window shows, so a mode in it means a picture of that mode is in the
# window. A test that runs several programs points $report at the one it looks at.
report=$work/report

# report_field NAME: the value of NAME in the last report ("" when there is none yet). The
# notice, last, is words of its own and is read by report_notice.
report_field() {
    awk -v name="$1" '{ for (i = 1; i < NF && $i != "notice"; i += 2) if ($i == name) print $(i + 1) }' \
        "$report" 2>/dev/null
}
# report_notice: the status line's notice in the last report, the rest of its line (UTF-8).
report_notice() {
    tr -d '\r' <"$report" 2>/dev/null | awk '{ i = index($0, " notice "); if (i) print substr($0, i + 8) }'
}
# reports_mode MODE: true when the last frame shown was drawn in MODE (at-start, playing,
# paused, finished).
reports_mode() { [ "$(report_field mode)" = "$1" ]; }
# reports_paused_at SECONDS: paused, with the frame of that show time shown.
reports_paused_at() {
    reports_mode paused && awk -v t="$(report_field time)" -v s="$1" 'BEGIN { exit !(t - s < 0.0005 && s - t < 0.0005) }'
}
# reports_before SECONDS: the frame shown is of an earlier show time (after a restart).
reports_before() { awk -v t="$(report_field time)" -v s="$1" 'BEGIN { exit !(t != "" && t < s) }'; }

# reports_drawn_after DRAWS: the program has shown a frame since its report counted DRAWS.
reports_drawn_after() { [ "$(report_field draws)" -gt "$1" ] 2>/dev/null; }

# The window's size as WIDTHxHEIGHT, and the picture above its bottom rows, where the status
# line, notices, the timeline bar and the control strip (52 rows) come and go over the show.
size_of() { xwininfo -id "$wid" | awk '/^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {print w "x" h}'; }
above_overlays() { size_of | awk -Fx '{print $1 "x" ($2 - 60) "+0+0"}'; }

# still_while_paused PAUSED: nothing changes while paused. Call it once the program has reported
# the pause and screenshot PAUSED was taken since. t makes the program draw again (the status
# line comes in at the bottom); whatever frame it draws while paused must show the same picture
# above the bottom rows, in screenshot PAUSED-again, and the same show time. A show that moved on
# would show it there. A second t takes the status line away again.
still_while_paused() {
    local base=$1 held drawn
    held=$(report_field time) drawn=$(report_field draws)
    key t
    wait_for "a frame drawn after t while paused" reports_drawn_after "$drawn"
    shot "$base-again"
    [ "$(differing_in "$(above_overlays)" "$base" "$base-again")" = 0 ] || fail "the picture changed while paused"
    reports_mode paused || fail "the program reported $(report_field mode), not paused, after t"
    [ "$(report_field time)" = "$held" ] ||
        fail "the show time moved while paused: $held s, then $(report_field time) s"
    drawn=$(report_field draws)
    key t
    wait_for "a frame drawn after a second t while paused" reports_drawn_after "$drawn"
}

# ---- The sound device: SDL's disk driver writes what it plays to $played in real time, the
# soundtrack's own samples or silence while nothing is heard. Where a moment of the soundtrack
# lies and how many bytes a second takes come from the WAV file's header (find_bytes). A test
# sets find_bytes, then calls listen_through FILE before starting the program.
listen_through() {
    played=$1
    soundtrack=resources/Sonavel.wav
    [ -s "$soundtrack" ] || fail "$soundtrack is missing: the build makes it"
    sound_rate=$("$find_bytes" rate "$soundtrack") || fail "no byte rate in $soundtrack's header"
}
played_bytes() { stat -c %s "$played" 2>/dev/null || echo 0; }
# played_past BYTES: the device has written more than BYTES.
played_past() { [ "$(played_bytes)" -gt "$1" ]; }
# sound_reached SECONDS: the soundtrack's samples of a moment SECONDS into it or later have
# reached the device. Not one given moment: on a loaded machine the program moves its sound to
# the picture's time again and again, and the device may play only pieces of the music.
sound_reached() { "$find_bytes" sound "$soundtrack" "$1" "$played" >/dev/null; }
# went_silent: true once the device has written a quarter of a second of silence and nothing
# else after silent_from (set it to played_bytes before the action); silent_from moves past any
# sound still written meanwhile, so it ends where the silence begins.
went_silent() {
    local size
    size=$(played_bytes)
    "$find_bytes" zeros "$played" "$silent_from"
    case $? in
    0) [ $((size - silent_from)) -ge $((sound_rate / 4)) ] ;;
    1) silent_from=$size && return 1 ;;
    *) return 1 ;;
    esac
}
# sounding_after BYTES: something other than silence written after BYTES.
sounding_after() { played_past "$1" && ! "$find_bytes" zeros "$played" "$1"; }

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
