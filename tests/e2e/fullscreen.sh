#!/usr/bin/env bash
# Full screen from the keyboard on the real program: f and F11 each cover the screen from its
# corner and, pressed again, give the window back its earlier size and place; a program started
# with --fullscreen goes back to where a window opens; Escape in full screen still quits.
#   fullscreen.sh LUMENFOLD
bin=${1:?usage: fullscreen.sh LUMENFOLD}
. "$(dirname "$0")/lib.sh"

# WIDTHxHEIGHT+X+Y of the window, and of the screen.
place() {
    xwininfo -id "$wid" | awk '/Absolute upper-left X:/ {x=$4} /Absolute upper-left Y:/ {y=$4}
        /^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {print w "x" h "+" x "+" y}'
}
full=$(xwininfo -root | awk '/^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {print w "x" h "+0+0"}')
is_at() { [ "$(place)" = "$1" ]; }

bin_args=(--mute)
start
windowed=$(place)
case $windowed in 720x576+*) ;; *) fail "the window opened as $windowed, not 720x576" ;; esac
for k in f F11 f; do
    key "$k"
    wait_for "the window covering the screen ($full) after $k" is_at "$full"
    key "$k"
    wait_for "the window back at $windowed after a second $k" is_at "$windowed"
done
key F11
wait_for "the window covering the screen after F11" is_at "$full"
key Escape
finish
[ "$status" = 0 ] || fail "exit status $status after Escape in full screen, not 0"

bin_args=(--mute --fullscreen)
start
wait_for "the window covering the screen ($full) with --fullscreen" is_at "$full"
key f
wait_for "the window at $windowed, where a window opens, after f" is_at "$windowed"
key q
finish
[ "$status" = 0 ] || fail "exit status $status after q, not 0"
echo "PASS: f and F11 toggle full screen ($full) and back to $windowed; --fullscreen then f back to $windowed; Escape in full screen quits"
