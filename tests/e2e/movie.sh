#!/usr/bin/env bash
# The movie, end to end: the headless program renders a short range to an MP4 that ffprobe
# reads as H.264 720 x 576 at 25 fps with an audio track of the range's length; without ffmpeg
# it refuses to make a movie and touches nothing, and --frames makes PNG files in a folder of
# their own; in the real program, Escape during key m's render keeps the previous movie and
# leaves nothing partial behind, then quits with status 0; key m stops the soundtrack while the
# movie renders, and a plays it again afterwards.
bin=${1:?usage: movie.sh LUMENFOLD FIND_BYTES LUMENFOLD_MOVIE MAKE_BAD_INPUTS SHOW_FRAMES CLOSE_WINDOW}
find_bytes=${2:?usage: movie.sh LUMENFOLD FIND_BYTES LUMENFOLD_MOVIE MAKE_BAD_INPUTS SHOW_FRAMES CLOSE_WINDOW}
movie_program=${3:?usage: movie.sh LUMENFOLD FIND_BYTES LUMENFOLD_MOVIE MAKE_BAD_INPUTS SHOW_FRAMES CLOSE_WINDOW}
close_window=${6:?usage: movie.sh LUMENFOLD FIND_BYTES LUMENFOLD_MOVIE MAKE_BAD_INPUTS SHOW_FRAMES CLOSE_WINDOW}
. "$(dirname "$0")/lib.sh"
# The movie program needs no display: it runs without one here; the window program has one.
movie_bin=$work/lumenfold-movie
printf '#!/bin/sh\nexec /usr/bin/env -u DISPLAY -u XAUTHORITY "%s" "$@"\n' "$movie_program" >"$movie_bin"
chmod +x "$movie_bin"

"$movie_bin" --from 10 --to 11 --output "$work/short/lumenfold.mp4" 2>"$work/movie.log" ||
    fail "the headless render failed: $(cat "$work/movie.log")"
probe() { ffprobe -v error -select_streams "$1" -show_entries "stream=$2" -of csv=p=0 "$work/short/lumenfold.mp4"; }
[ "$(probe v:0 codec_name)" = h264 ] || fail "video is $(probe v:0 codec_name), not h264"
[ "$(probe v:0 width,height)" = "720,576" ] || fail "video is $(probe v:0 width,height)"
[ "$(probe v:0 r_frame_rate)" = "25/1" ] || fail "video runs at $(probe v:0 r_frame_rate)"
[ "$(probe v:0 pix_fmt)" = yuv420p ] || fail "pixels are $(probe v:0 pix_fmt)"
frames=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames -of csv=p=0 "$work/short/lumenfold.mp4")
[ "$frames" = 26 ] || fail "$frames video frames, not 26"
audio=$(probe a:0 duration)
awk -v d="$audio" 'BEGIN { exit !(d > 0.95 && d < 1.15) }' || fail "audio lasts $audio s, not about 1.04 s"
ls -A "$work/short" | grep -v '^lumenfold.mp4$' && fail "files besides the movie were left"

mkdir -p "$work/nopath" "$work/png"
echo "a user's picture" >"$work/png/frame-12345.png"
echo "the previous movie" >"$work/png/lumenfold.mp4"
PATH="$work/nopath" "$movie_bin" --from 20 --to 20.4 --output "$work/png/lumenfold.mp4" 2>"$work/movie.log"
status=$?
[ "$status" = 1 ] || fail "a movie without ffmpeg ended with status $status, not 1"
grep -q '^lumenfold-movie: .*ffmpeg.*--frames' "$work/movie.log" || fail "without ffmpeg it said: $(cat "$work/movie.log")"
[ "$(ls -A "$work/png" | tr '\n' ' ')" = "frame-12345.png lumenfold.mp4 " ] || fail "without ffmpeg the folder holds: $(ls -A "$work/png")"
[ "$(cat "$work/png/frame-12345.png")" = "a user's picture" ] || fail "the user's picture was changed"
[ "$(cat "$work/png/lumenfold.mp4")" = "the previous movie" ] || fail "the previous movie was changed"
PATH="$work/nopath" "$movie_bin" --from 20 --to 20.4 --frames "$work/png/frames" 2>"$work/movie.log" ||
    fail "the PNG frames were not made: $(cat "$work/movie.log")"
[ "$(ls "$work/png/frames" | grep -c '^frame-[0-9]\{5\}\.png$')" = 11 ] || fail "not 11 PNG frames: $(ls "$work/png/frames")"
[ "$(ls -A "$work/png" | tr '\n' ' ')" = "frame-12345.png frames lumenfold.mp4 " ] || fail "besides the frames: $(ls -A "$work/png")"

# Key m in the real program, cancelled with Escape while it renders.
show=$work/show
mkdir -p "$show/movie"
ln -s "$PWD/resources" "$show/resources"
echo "the previous movie" >"$show/movie/lumenfold.mp4"
cd "$show"
start
key m
writing() { ls -A movie | grep -q '^\.lumenfold\.mp4\.'; }
wait_for "a movie being written after m" writing
key Escape
finish
[ "$status" = 0 ] || fail "exit status $status after Escape, not 0"
[ "$(cat movie/lumenfold.mp4)" = "the previous movie" ] || fail "the previous movie was changed"
[ "$(ls -A movie)" = lumenfold.mp4 ] || fail "left behind: $(ls -A movie)"
[ -s "$work/stdout" ] && fail "the movie path wrote to standard output"

# The window closed while m renders: cancelled as by Escape, then the program ends.
start
key m
wait_for "a movie being written after m" writing
"$close_window" "$wid" || fail "the window could not be asked to close"
finish
[ "$status" = 0 ] || fail "exit status $status after closing the window, not 0"
[ "$(cat movie/lumenfold.mp4)" = "the previous movie" ] || fail "the previous movie was changed by closing"
[ "$(ls -A movie)" = lumenfold.mp4 ] || fail "left behind after closing the window: $(ls -A movie)"

# A stop signal while m renders: the render is cancelled as by Escape, the encoder goes too.
start
key m
wait_for "a movie being written after m" writing
kill -TERM "$pid"
finish
[ "$(cat movie/lumenfold.mp4)" = "the previous movie" ] || fail "the previous movie was changed by the stop"
[ "$(ls -A movie)" = lumenfold.mp4 ] || fail "left behind after a stop: $(ls -A movie)"
encoders_gone() { ! pgrep -f -- "ffmpeg .*$show/movie/" >/dev/null && ! pgrep -f -- "ffmpeg .*movie/\.lumenfold" >/dev/null; }
wait_for "the encoder ending with the stopped render" encoders_gone

# An encoder that fails at once: the show goes on, says so on standard error and in the status
# line, and keeps the encoder's words in a log beside the movie; the previous movie stays.
mkdir -p "$work/fakebin"
printf '#!/bin/sh\necho "encoder says: no such codec" >&2\nexit 1\n' >"$work/fakebin/ffmpeg"
chmod +x "$work/fakebin/ffmpeg"
start PATH="$work/fakebin:$PATH"
key m
said() { grep -q "^lumenfold: the movie could not be written to movie/lumenfold.mp4: ffmpeg failed" "$work/stderr"; }
wait_for "the failure said after m with a failing encoder" said
grep -q "encoder says: no such codec" "$work/stderr" || fail "the encoder's words were not said: $(cat "$work/stderr")"
kill -0 "$pid" 2>/dev/null || fail "the program ended when the encoder failed"
[ "$(cat movie/lumenfold.mp4)" = "the previous movie" ] || fail "the previous movie was changed by the failure"
log=$(ls -A movie | grep '^\.lumenfold\.mp4\..*\.log$')
[ -n "$log" ] && grep -q "no such codec" "movie/$log" || fail "no log of the encoder kept: $(ls -A movie)"
[ "$(ls -A movie | wc -l)" = 2 ] || fail "left behind after the failure: $(ls -A movie)"
key q
finish
[ "$status" = 0 ] || fail "exit status $status after q, not 0"

# Key m while the soundtrack plays (SDL's disk driver writes what it plays to a file): only
# silence while the movie renders; afterwards the sound is as it was before, and a plays it.
# The encoder takes no frame until told to fail, so the render waits in its first frame.
rm "movie/$log"
mkdir -p "$work/slowbin"
# (It also ends when the test's folder goes, should the test end first.)
printf '#!/bin/sh\nwhile [ ! -e "%s" ] && [ -d "%s" ]; do sleep 0.1; done\nexit 1\n' "$work/encoder-go" "$work" >"$work/slowbin/ffmpeg"
chmod +x "$work/slowbin/ffmpeg"
listen_through "$work/played.raw"
start SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$played" PATH="$work/slowbin:$PATH"
key a
# The music from five seconds into it on, as in sound.sh: the very first moments may be skipped.
wait_for "the soundtrack playing after a" sound_reached 5
silent_from=$(played_bytes)
key m
wait_for "a movie being written after m" writing
wait_for "silence on the device while the movie renders" went_silent
# The render is held in its first frame: a whole second more of the device's output is silence.
wait_for "a second more of the device's output while the movie renders" played_past $((silent_from + sound_rate))
"$find_bytes" zeros "$played" "$silent_from" || fail "sound was written while the movie rendered"
touch "$work/encoder-go"
wait_for "the failure said after m" said
resumed_at=$(played_bytes)
key a
wait_for "the soundtrack playing again after the movie and a" sounding_after "$resumed_at"
key q
finish
[ "$status" = 0 ] || fail "exit status $status after q, not 0"
echo "PASS: headless MP4; no ffmpeg: refused, nothing touched; --frames; Escape, closing, a stop or a failing encoder during m keep the previous movie; m silences the soundtrack"
