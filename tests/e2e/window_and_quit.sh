#!/usr/bin/env bash
# The program opens its 720 x 576 window at (100, 100) titled Lumenfold, shows the lone block of
# the opening scene, and q ends it with status 0 having written nothing on standard output.
bin=${1:?usage: window_and_quit.sh path/to/lumenfold}
. "$(dirname "$0")/lib.sh"
start

info=$(xwininfo -id "$wid")
width=$(awk '/^ *Width:/ {print $2}' <<<"$info")
height=$(awk '/^ *Height:/ {print $2}' <<<"$info")
x=$(awk '/Absolute upper-left X:/ {print $4}' <<<"$info")
y=$(awk '/Absolute upper-left Y:/ {print $4}' <<<"$info")
[ "$width" = 720 ] && [ "$height" = 576 ] || fail "window is ${width}x${height}, not 720x576"
[ "$x" = 100 ] && [ "$y" = 100 ] || fail "window at ($x, $y), not (100, 100)"

# The opening block is sand coloured: more red than blue, and brightly lit somewhere.
lit() { shot start && [ "$(brightest start 720x576+0+0)" -gt 100 ]; }
wait_for "a lit opening picture" lit
mean=$(convert "$work/start.png" -format '%[fx:mean.r*1000] %[fx:mean.b*1000]' info:)
read -r red blue <<<"$mean"
awk -v r="$red" -v b="$blue" 'BEGIN { exit !(r > 1.3 * b) }' || fail "the block is not sand coloured ($mean)"

key q
finish
[ "$status" = 0 ] || fail "exit status $status after q, not 0"
[ -s "$work/stdout" ] && fail "the program wrote to standard output: $(head -c 200 "$work/stdout")"
echo "PASS: window 720x576 at (100, 100) showing the block; q exits 0 silently"
