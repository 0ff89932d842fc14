#!/usr/bin/env bash
# Starts the real program under the current X display, finds its window, checks its size and
# picture, toggles the status text from the keyboard, and ends it with q: status 0, nothing printed.
set -u
bin=${1:?usage: window_and_quit.sh path/to/lumenfold}
work=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    [ -s "$work/stderr" ] && sed 's/^/  stderr: /' "$work/stderr" | head -20
    exit 1
}

# Largest channel value in the window, 0 for an all-black picture.
brightest() {
    import -window "$1" "$work/shot.png" 2>/dev/null || return 1
    convert "$work/shot.png" -format '%[fx:int(255*maxima)]' info:
}

SDL_AUDIODRIVER=dummy "$bin" >"$work/stdout" 2>"$work/stderr" &
pid=$!

wid=$(timeout 10 xdotool search --sync --onlyvisible --name '^Lumenfold$' 2>/dev/null | head -n 1)
[ -n "$wid" ] || fail "no visible window named Lumenfold within 10 s"

info=$(xwininfo -id "$wid")
width=$(awk '/^ *Width:/ {print $2}' <<<"$info")
height=$(awk '/^ *Height:/ {print $2}' <<<"$info")
x=$(awk '/Absolute upper-left X:/ {print $4}' <<<"$info")
y=$(awk '/Absolute upper-left Y:/ {print $4}' <<<"$info")
[ "$width" = 720 ] && [ "$height" = 576 ] || fail "window is ${width}x${height}, not 720x576"
[ "$x" = 100 ] && [ "$y" = 100 ] || fail "window at ($x, $y), not (100, 100)"

level=$(brightest "$wid") || fail "no screenshot"
[ "$level" = 0 ] || fail "the opening picture is not black (brightest channel $level)"

# The status text is white: after t the picture must light up, after a second t go black again.
xdotool key --window "$wid" t
for _ in $(seq 50); do
    level=$(brightest "$wid") || fail "no screenshot"
    [ "$level" = 255 ] && break
    sleep 0.1
done
[ "$level" = 255 ] || fail "t did not show the white status text (brightest channel $level)"
xdotool key --window "$wid" t
for _ in $(seq 50); do
    level=$(brightest "$wid") || fail "no screenshot"
    [ "$level" = 0 ] && break
    sleep 0.1
done
[ "$level" = 0 ] || fail "a second t did not hide the status text"

kill -0 "$pid" 2>/dev/null || fail "the program ended by itself"
xdotool key --window "$wid" q
for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "q did not end the program within 5 s"
wait "$pid"
status=$?
pid=
[ "$status" = 0 ] || fail "exit status $status after q, not 0"
[ -s "$work/stdout" ] && fail "the program wrote to standard output: $(head -c 200 "$work/stdout")"
echo "PASS: window 720x576 at (100, 100), black, status text toggles, q exits 0 silently"
