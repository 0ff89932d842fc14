#!/usr/bin/env bash
# Plays the real show from the keyboard: a starts it, p pauses it, t shows the status line, w
# draws wireframe, the arrow keys turn the view, f fills the screen, and q ends the program.
bin=${1:?usage: show_keys.sh path/to/lumenfold}
. "$(dirname "$0")/lib.sh"
start
wait_for "the opening screen drawn" reports_mode at-start
shot start

key a
wait_for "the picture moving after a" changed start playing

key p
wait_for "the program paused after p" reports_mode paused
shot paused
still_while_paused paused

# The status line and the frame rate stand at the bottom left, in white.
status_region=300x30+0+546
[ "$(brightest paused "$status_region")" -lt 250 ] || fail "white at the bottom left before t"
status_line_shown() { shot text && [ "$(brightest text "$status_region")" = 255 ]; }
key t
wait_for "the status line after t" status_line_shown
key t
status_line_gone() { shot untext && [ "$(brightest untext "$status_region")" -lt 250 ]; }
wait_for "the status line going after a second t" status_line_gone

key w
wait_for "the wireframe after w" changed paused wire
black_solid=$(convert "$work/paused.png" -fill white +opaque black -format '%[fx:int(mean*1000)]' info:)
black_wire=$(convert "$work/wire.png" -fill white +opaque black -format '%[fx:int(mean*1000)]' info:)
[ "$black_wire" -lt "$black_solid" ] || fail "wireframe shows no more background than solid"
key w
solid_again() { shot before_arrows && [ "$(differing paused before_arrows)" = 0 ]; }
wait_for "the solid picture again after a second w" solid_again

key Left Left Up
wait_for "the view turning after the arrow keys" changed before_arrows after_arrows

screen_size() { xwininfo -root | awk '/^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {print w "x" h}'; }
fills_screen() { [ "$(size_of)" = "$(screen_size)" ]; }
key f
wait_for "the window filling the screen ($(screen_size)) after f" fills_screen

key q
finish
[ "$status" = 0 ] || fail "exit status $status after q, not 0"
echo "PASS: a plays, p holds still, t shows the status line, w wireframe, arrows, f, q"
