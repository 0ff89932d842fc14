#!/usr/bin/env bash
# The Windows program's window under Wine, in a fresh prefix of its own (in PREFIX_DIR):
# - f and F11 each make it cover the screen and, pressed again, give it back its size
#   (720 x 576) and place;
# - on the opening screen the control strip reads as it did at start (0:00, the bar empty) once
#   5 s more have passed, which the program reports as its opening screen at 0 s.
# Skipped (77) where Wine is missing or the program was not built.
#   window.sh BUILD/windows PREFIX_DIR
windows_dir=${1:?usage: window.sh BUILD/windows PREFIX_DIR}
prefix_dir=${2:?}
. "$(dirname "$0")/../e2e/lib.sh"
. "$(dirname "$0")/lib.sh"
rm -rf "$prefix_dir"
windows_setup "$windows_dir" "$prefix_dir/prefix"
remove_at_end+=("$prefix_dir")

# WIDTHxHEIGHT+X+Y of the window, and of the screen.
place() {
    xwininfo -id "$wid" | awk '/Absolute upper-left X:/ {x=$4} /Absolute upper-left Y:/ {y=$4}
        /^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {print w "x" h "+" x "+" y}'
}
full=$(xwininfo -root | awk '/^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {print w "x" h "+0+0"}')
is_at() { [ "$(place)" = "$1" ]; }

report=$work/report
report_windows=$(winepath -w "$report" 2>/dev/null) || fail "winepath did not name $report"
cd "$work" || fail "no folder $work"
bin=wine
bin_args=("$exe" --mute)
start LUMENFOLD_REPORT="$report_windows"
lit() { shot opening && [ "$(brightest opening 720x576+0+0)" -gt 100 ]; }
wait_for "the opening picture" lit
windowed=$(place)
case $windowed in 720x576+*) ;; *) fail "the window opened as $windowed, not 720x576" ;; esac
for k in f F11; do
    key "$k"
    wait_for "the window covering the screen ($full) after $k" is_at "$full"
    key "$k"
    wait_for "the window back at $windowed after a second $k" is_at "$windowed"
done
echo "f and F11: full screen ($full) and back to $windowed"

# strip NAME: the pointer moved a pixel over the picture, which shows the strip for 3 s, and a
# screenshot.
nudge=0
strip() {
    nudge=$((1 - nudge))
    xdotool mousemove --window "$wid" $((360 + nudge)) 250 2>/dev/null || fail "the pointer could not be moved"
    shot "$1"
}
strip_at_rest() {
    strip "$1-before" && strip "$1" && [ "$(differing "$1-before" "$1")" = 0 ] &&
        [ "$(differing opening "$1")" -gt 500 ]
}
wait_for "the control strip at rest after the pointer moved" strip_at_rest at-start
# The time this test is about: the strip is looked at again once it has passed.
sleep 5
# That the show has not moved is the program's own word; the picture is the strip's.
at_opening() { reports_mode at-start && awk -v t="$(report_field time)" 'BEGIN { exit !(t == 0) }'; }
strip_as_at_start() { strip later && at_opening && [ "$(differing later at-start)" = 0 ]; }
wait_for "the strip reading as at start (0:00, the bar empty) 5 s later" strip_as_at_start
key q
finish
[ "$status" = 0 ] || fail "exit status $status after q, not 0"
echo "PASS: f and F11 toggle full screen and back; the opening screen's strip stands at 0:00"
