#!/usr/bin/env bash
# The opening screen's clock on the real program: before a starts the show the control strip
# reads 0:00 with its bar empty, as it did at start, however long the screen has been up, and p
# changes nothing; once a starts the show the strip moves on.
#   opening_clock.sh LUMENFOLD
bin=${1:?usage: opening_clock.sh LUMENFOLD}
. "$(dirname "$0")/lib.sh"

pointer() { xdotool "$@" 2>/dev/null || fail "xdotool $* failed"; }
# strip NAME: the pointer moved a pixel, which shows the strip fully for 3 s, and a screenshot.
nudge=0
strip() {
    nudge=$((1 - nudge))
    pointer mousemove --window "$wid" $((360 + nudge)) 250
    shot "$1"
}
# The program says it stands at the opening screen at 0 s.
at_opening() {
    reports_mode at-start || fail "the program reported $(report_field mode), not at-start, before a"
    awk -v t="$(report_field time)" 'BEGIN { exit !(t == 0) }' ||
        fail "the opening screen reported $(report_field time) s, not 0"
}
# The strip fully on the picture: two such screenshots alike (a fading strip differs). That the
# show has not moved is the program's report, not the pictures.
strip_at_rest() {
    strip "$1-before" && strip "$1" && at_opening && [ "$(differing "$1-before" "$1")" = 0 ] &&
        [ "$(differing opening "$1")" -gt 500 ]
}
strip_as() { strip "$1" && at_opening && [ "$(differing "$1" "$2")" = 0 ]; }
strip_not_as() { strip "$1" && [ "$(differing "$1" "$2")" -gt 0 ]; }

bin_args=(--mute)
start
lit() { shot opening && [ "$(brightest opening 720x576+0+0)" -gt 100 ]; }
wait_for "the opening picture" lit
wait_for "the program's report of its opening screen" reports_mode at-start
wait_for "the control strip at rest after the pointer moved" strip_at_rest at-start
key p
# The time this test is about: the strip is looked at again once it has passed.
sleep 5
wait_for "the strip reading as at start (0:00, the bar empty) after 5 s and p" \
    strip_as later at-start
key a
wait_for "the strip moving on once a starts the show" strip_not_as playing at-start
key q
finish
[ "$status" = 0 ] || fail "exit status $status after q, not 0"
echo "PASS: the opening screen's strip reads as at start after 5 s and p; a starts its clock"
