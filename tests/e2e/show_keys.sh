#!/usr/bin/env bash
# Plays the real show from the keyboard: a starts it, p pauses it, t shows the status line, w
# draws wireframe, the arrow keys turn the view, f fills the screen, and q ends the program.
bin=${1:?usage: show_keys.sh path/to/lumenfold}
. "$(dirname "$0")/lib.sh"
start
sleep 1
shot start

key a
sleep 3
shot playing
[ "$(differing start playing)" -gt 1000 ] || fail "a few seconds after a the picture has not changed"

key p
sleep 0.5
shot paused1
sleep 1
shot paused2
[ "$(differing paused1 paused2)" = 0 ] || fail "the picture changed while paused"

key t
sleep 0.5
shot text
# The status line and the frame rate stand at the bottom left, in white.
[ "$(brightest paused2 300x30+0+546)" -lt 250 ] || fail "white at the bottom left before t"
[ "$(brightest text 300x30+0+546)" = 255 ] || fail "t did not show the status line"
key t

key w
sleep 0.5
shot wire
[ "$(differing paused2 wire)" -gt 1000 ] || fail "w did not change the picture"
black_solid=$(convert "$work/paused2.png" -fill white +opaque black -format '%[fx:int(mean*1000)]' info:)
black_wire=$(convert "$work/wire.png" -fill white +opaque black -format '%[fx:int(mean*1000)]' info:)
[ "$black_wire" -lt "$black_solid" ] || fail "wireframe shows no more background than solid"
key w
sleep 0.5

shot before_arrows
key Left Left Up
sleep 0.5
shot after_arrows
[ "$(differing before_arrows after_arrows)" -gt 1000 ] || fail "the arrow keys did not move the view"

key f
for _ in $(seq 50); do
    size=$(xwininfo -id "$wid" | awk '/^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {print w "x" h}')
    [ "$size" = "$(xwininfo -root | awk '/^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {print w "x" h}')" ] && break
    sleep 0.1
done
root=$(xwininfo -root | awk '/^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {print w "x" h}')
[ "$size" = "$root" ] || fail "f left the window at $size, not the screen's $root"

key q
finish
[ "$status" = 0 ] || fail "exit status $status after q, not 0"
echo "PASS: a plays, p holds still, t shows the status line, w wireframe, arrows, f, q"
