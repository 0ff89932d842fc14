#!/usr/bin/env bash
# The player's controls on the real program: a jump, by the command line and by key, shows the
# very picture show_frames makes for that time, even after the ground image has been removed
# (the ground is read once); s saves a PNG equal to the window's picture, and where it cannot,
# says so and carries on; h shows the keys; bad options get a message and 2.
#   player.sh LUMENFOLD FIND_BYTES LUMENFOLD_MOVIE MAKE_BAD_INPUTS SHOW_FRAMES
bin=${1:?usage: player.sh LUMENFOLD FIND_BYTES LUMENFOLD_MOVIE MAKE_BAD_INPUTS SHOW_FRAMES}
show_frames=${5:?usage: player.sh LUMENFOLD FIND_BYTES LUMENFOLD_MOVIE MAKE_BAD_INPUTS SHOW_FRAMES}
. "$(dirname "$0")/lib.sh"

# The command line: refusals on standard error with status 2, help on standard output.
for bad in "--start abc" "--start -5" "--speed 0" "--bogus" "--start"; do
    # shellcheck disable=SC2086
    "$bin" $bad >"$work/stdout" 2>"$work/stderr"
    status=$?
    [ "$status" = 2 ] || fail "'$bad' ended with status $status, not 2"
    head -n 1 "$work/stderr" | grep -q '^lumenfold: ' || fail "'$bad' said: $(head -n 1 "$work/stderr")"
    grep -q '^usage: lumenfold' "$work/stderr" || fail "'$bad' printed no usage"
    [ -s "$work/stdout" ] && fail "'$bad' wrote to standard output"
done
"$bin" --help >"$work/stdout" 2>&1 || fail "--help ended with status $?"
grep -q -- '--start SECONDS' "$work/stdout" || fail "--help lists no --start"
: >"$work/stderr"

mkdir -p "$work/frames"
"$show_frames" "$work/frames" 84 50 55 54.96 >/dev/null 2>&1 || fail "show_frames made no reference pictures"
frame() { echo "frames/frame-$1"; }

here=$PWD
mkdir -p "$work/cwd/resources"
ln -s "$here/resources/ground.bmp" "$work/cwd/resources/ground.bmp"
cd "$work/cwd"
bin_args=(--start 84 --paused)
start
wait_for "the picture of 84 s after --start 84 --paused" same_as at84 "$(frame 084.00)"
# A jump builds the cast afresh: from what was read at start-up, not from the disk.
rm resources/ground.bmp
key 4
wait_for "the picture of 50 s after key 4" same_as at50 "$(frame 050.00)"
key greater
wait_for "the picture of 55 s after >" same_as at55 "$(frame 055.00)"
key comma
wait_for "the picture of 54.96 s after ," same_as at5496 "$(frame 054.96)"

key s
saved() { [ -s screenshots/lumenfold-054.96s.png ]; }
wait_for "screenshots/lumenfold-054.96s.png after s" saved
cp screenshots/lumenfold-054.96s.png "$work/saved.png"
[ "$(differing saved at5496)" = 0 ] || fail "the screenshot differs from the window's picture"
[ "$(ls -A screenshots)" = lumenfold-054.96s.png ] || fail "left in screenshots/: $(ls -A screenshots)"

key h
wait_for "the help overlay after h" changed at5496 help
key h
wait_for "the picture without help after a second h" same_as nohelp at5496

# A folder that cannot be made: a notice in white on the status line, and the show goes on.
rm -rf screenshots
touch screenshots
key s
notice() { shot notice && [ "$(differing_in 400x20+0+546 nohelp notice)" -gt 100 ]; }
wait_for "a notice on the status line when screenshots/ cannot be made" notice
key q
finish
[ "$status" = 0 ] || fail "exit status $status after q"
[ -s "$work/stdout" ] && fail "the program wrote to standard output"
# Anti-aliasing in the window: the same moment with smoother edges, so more distinct colours.
plain=$(identify -format %k "$work/at84.png")
smoother() { shot smooth && [ "$(identify -format %k "$work/smooth.png")" -gt $((plain * 5 / 4)) ]; }
ln -s "$here/resources/ground.bmp" resources/ground.bmp
bin_args=(--aa 4 --start 84 --paused)
start
wait_for "more than $((plain * 5 / 4)) colours at 84 s with --aa 4 ($plain without)" smoother
key q
finish
[ "$status" = 0 ] || fail "exit status $status after q with --aa 4"

echo "PASS: jumps by option and key match show_frames; s saves the window's picture or says why not; h; bad options"
