#!/usr/bin/env bash
# The pointer on the real program, driven with xdotool: a click on the picture starts the show
# with its soundtrack, the next pauses it and the next resumes it; a double click toggles full
# screen and leaves the show playing; a drag on the timeline shows, at every position, the
# picture a jump there shows (screenshots against show_frames); the wheel steps 5 s over the
# timeline and does nothing over the picture.
#   pointer.sh LUMENFOLD FIND_BYTES LUMENFOLD_MOVIE MAKE_BAD_INPUTS SHOW_FRAMES
bin=${1:?usage: pointer.sh LUMENFOLD FIND_BYTES LUMENFOLD_MOVIE MAKE_BAD_INPUTS SHOW_FRAMES}
find_bytes=${2:?usage: pointer.sh LUMENFOLD FIND_BYTES LUMENFOLD_MOVIE MAKE_BAD_INPUTS SHOW_FRAMES}
show_frames=${5:?usage: pointer.sh LUMENFOLD FIND_BYTES LUMENFOLD_MOVIE MAKE_BAD_INPUTS SHOW_FRAMES}
. "$(dirname "$0")/lib.sh"

# Screenshots land in a folder of the test's own.
here=$PWD
mkdir -p "$work/cwd/resources"
ln -s "$here/resources/ground.bmp" "$here/resources/Sonavel.wav" "$work/cwd/resources/"
cd "$work/cwd"

pointer() { xdotool "$@" 2>/dev/null || fail "xdotool $* failed"; }
# The picture above the control strip, which comes and goes with the pointer, moving.
moved_above() { shot "$2" && [ "$(differing_in "$(above_overlays)" "$1" "$2")" -gt 1000 ]; }

listen_through "$work/played.raw"
start SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$played"
[ "$(size_of)" = 720x576 ] || fail "the window is $(size_of), not 720x576"
# The opening screen, drawn; it holds still until a click on the picture starts the show.
wait_for "the opening screen drawn" reports_mode at-start
shot opening
# Where the timeline is in this window and the show's length it spans, as the program lays it
# out: WIDTHxHEIGHT+X+Y from the top left. Presses go to the middle row of its track.
read -r timeline_width timeline_height timeline_left timeline_top < <(report_field timeline | tr 'x+' '  ')
show_length=$(report_field length)
[ -n "$timeline_top" ] && [ -n "$show_length" ] || fail "no timeline in the report: $(cat "$report")"
timeline_row=$((timeline_top + timeline_height / 2))
# on_timeline PERCENT: the x of that share of the timeline.
on_timeline() { echo $((timeline_left + timeline_width * $1 / 100)); }

pointer mousemove --window "$wid" 360 250 click 1
wait_for "the picture moving after a click on it" moved_above opening playing
# The music from five seconds into it on, as in sound.sh.
wait_for "the soundtrack's samples from 5 s on reaching the device after the click" sound_reached 5

silent_from=$(played_bytes)
pointer click 1
wait_for "the program paused after a second click" reports_mode paused
shot paused
wait_for "silence on the device after the second click" went_silent
pointer click 1
wait_for "the picture moving again after a third click" moved_above paused resumed

# A double click: full screen, and the show still plays (its first click paused it, briefly).
screen_size() { xwininfo -root | awk '/^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {print w "x" h}'; }
fills_screen() { [ "$(size_of)" = "$(screen_size)" ]; }
saved() { [ "$(ls screenshots 2>/dev/null | wc -l)" -ge "$1" ]; }
pointer click --repeat 2 --delay 100 1
wait_for "the window filling the screen ($(screen_size)) after a double click" fills_screen
# Playing, two screenshots a moment apart carry two times; paused, one time twice (-2).
key s
wait_for "a screenshot in full screen" saved 1
shot full
wait_for "the picture moving in full screen after the double click" moved_above full full-later
key s
wait_for "a second screenshot in full screen" saved 2
ls screenshots | grep -q -- '-2\.png$' && fail "the double click left the show paused: $(ls screenshots | tr '\n' ' ')"
rm -r screenshots
pointer click --repeat 2 --delay 100 1
back_in_window() { [ "$(size_of)" = 720x576 ]; }
wait_for "the window back at 720x576 after a second double click" back_in_window
pointer mousemove --window "$wid" 360 250 click 1
wait_for "the program paused after a click in the window" reports_mode paused
shot windowed

# A drag on the timeline, paused: a screenshot under the held button and one after the release.
pressed_x=$(on_timeline 27) dragged_x=$(on_timeline 41) released_x=$(on_timeline 63)
pointer mousemove --window "$wid" "$pressed_x" "$timeline_row" mousedown 1
wait_for "the picture jumping to the pressed place" moved_above windowed pressed
pointer mousemove --window "$wid" "$dragged_x" "$timeline_row"
wait_for "the picture following the drag" moved_above pressed dragged
key s
wait_for "a screenshot during the drag" saved 1
pointer mousemove --window "$wid" "$released_x" "$timeline_row" mouseup 1
key s
wait_for "a screenshot after the release" saved 2
# The times are in the names; each must be where the pointer was on the timeline, within a second.
times=$(ls screenshots | sed -n 's/^lumenfold-\([0-9.]*\)s\.png$/\1/p' | sort -n)
[ "$(echo "$times" | wc -l)" = 2 ] || fail "screenshots after the drag: $(ls screenshots)"
dragged_time=$(echo "$times" | head -n 1)
released_time=$(echo "$times" | tail -n 1)
near() {
    awk -v t="$1" -v x="$2" -v left="$timeline_left" -v width="$timeline_width" -v span="$show_length" \
        'BEGIN { e = (x - left) / width * span; exit !(t - e < 1 && e - t < 1) }'
}
near "$dragged_time" "$dragged_x" || fail "the screenshot during the drag is at $dragged_time s, not near x $dragged_x"
near "$released_time" "$released_x" || fail "the screenshot after the release is at $released_time s, not near x $released_x"
mkdir -p "$work/frames"
"$show_frames" "$work/frames" "$dragged_time" "$released_time" >/dev/null 2>&1 ||
    fail "show_frames made no reference pictures"
for t in "$dragged_time" "$released_time"; do
    cp "screenshots/lumenfold-${t}s.png" "$work/scrubbed-$t.png"
    [ "$(differing "scrubbed-$t" "frames/frame-$t")" = 0 ] ||
        fail "the picture scrubbed to $t s differs from the one a jump there shows"
done

# The wheel: down over the timeline is 5 s back; over the picture nothing (the next screenshot
# keeps the time, so it gets the name with -2).
stepped=$(awk -v t="$released_time" 'BEGIN { printf "%06.2f", t - 5 }')
pointer mousemove --window "$wid" "$(on_timeline 50)" "$timeline_row" click 5
key s
wait_for "screenshots/lumenfold-${stepped}s.png after the wheel over the timeline" \
    test -s "screenshots/lumenfold-${stepped}s.png"
pointer mousemove --window "$wid" 360 250 click 4
key s
wait_for "a screenshot at $stepped s again after the wheel over the picture ($(ls screenshots | tr '\n' ' '))" \
    test -s "screenshots/lumenfold-${stepped}s-2.png"

key q
finish
[ "$status" = 0 ] || fail "exit status $status after q"
echo "scrubbed to $dragged_time and $released_time s, stepped to $stepped s"
echo "PASS: click starts with sound, pauses and resumes; double click full screen and back, still playing; a drag shows the jumps' pictures; the wheel over the timeline only"
