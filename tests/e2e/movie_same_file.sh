#!/usr/bin/env bash
# Key m in the window and lumenfold-movie make the very same file: the whole show, drawn by the
# window's own context in one process and by the movie program without a display in parallel
# parts, must agree byte for byte. Run in the normal build only (the whole show is long).
bin=${1:?usage: movie_same_file.sh LUMENFOLD FIND_BYTES LUMENFOLD_MOVIE}
movie_program=${3:?usage: movie_same_file.sh LUMENFOLD FIND_BYTES LUMENFOLD_MOVIE}
. "$(dirname "$0")/lib.sh"
# The whole show takes about a minute here; a busy machine may take several.
wait_limit=$((wait_limit > 600 ? wait_limit : 600))
command -v ffmpeg >/dev/null || { echo "SKIP: no ffmpeg, so neither program makes a movie"; exit 77; }

show=$work/show
mkdir -p "$show"
ln -s "$PWD/resources" "$show/resources"
cd "$show"
start
key m
# The finished movie is moved into place in one step once the hidden work folder is done with.
made() { [ -s movie/lumenfold.mp4 ] && [ -z "$(ls -A movie | grep -v '^lumenfold.mp4$')" ]; }
wait_for "the movie of the whole show after m" made
key Escape
finish
[ "$status" = 0 ] || fail "exit status $status after the movie and Escape, not 0"

env -u DISPLAY -u XAUTHORITY "$movie_program" --jobs 2 --output "$work/headless.mp4" 2>"$work/movie.log" ||
    fail "lumenfold-movie failed: $(cat "$work/movie.log")"
if ! cmp -s movie/lumenfold.mp4 "$work/headless.mp4"; then
    frames() { ffmpeg -v error -i "$1" -f framemd5 - | grep -v '^#'; }
    differ=$(diff <(frames movie/lumenfold.mp4) <(frames "$work/headless.mp4") | grep -c '^<')
    fail "key m's movie is not the file lumenfold-movie makes ($differ decoded frames or audio packets differ)"
fi
echo "key m and lumenfold-movie made the same $(stat -c %s "$work/headless.mp4") bytes"
