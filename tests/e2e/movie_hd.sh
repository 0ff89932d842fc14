#!/usr/bin/env bash
# The movie program's size, anti-aliasing, quality and parallel options: the size ffprobe sees,
# an anti-aliased frame with smoother edges (more distinct colours) than the same frame without,
# a higher quality making a larger file, refusals of bad values, --jobs 2 and a join of two
# parts decoding to the same frames as --jobs 1, and a stopped parallel render keeping the
# previous movie and leaving nothing behind.
#   movie_hd.sh LUMENFOLD FIND_BYTES LUMENFOLD_MOVIE
movie=${3:?usage: movie_hd.sh LUMENFOLD FIND_BYTES LUMENFOLD_MOVIE}
. "$(dirname "$0")/lib.sh"

render() { "$movie" "$@" 2>>"$work/movie.log" || fail "lumenfold-movie $* failed: $(tail -n 3 "$work/movie.log")"; }
probe() { ffprobe -v error -select_streams v:0 -show_entries "stream=$2" -of csv=p=0 "$1"; }
frames() { ffmpeg -v error -i "$1" -map 0:v -f framemd5 - | grep -v '^#'; }

for bad in "--size 1921x1080" "--size 4000x2160" "--size 8x8" "--size 1280" "--aa 0" \
    "--crf 52" "--jobs 0" "--fps x"; do
    # shellcheck disable=SC2086
    "$movie" $bad --output "$work/bad.mp4" >/dev/null 2>"$work/stderr"
    status=$?
    [ "$status" = 2 ] || fail "'$bad' ended with status $status, not 2"
    head -n 1 "$work/stderr" | grep -q "^lumenfold-movie: ${bad%% *} takes" ||
        fail "'$bad' said: $(head -n 1 "$work/stderr")"
    [ -e "$work/bad.mp4" ] && fail "'$bad' wrote a movie"
done
: >"$work/stderr"

render --from 20 --to 20.4 --size 1280x720 --output "$work/hd.mp4"
[ "$(probe "$work/hd.mp4" width,height)" = "1280,720" ] || fail "--size 1280x720 gave $(probe "$work/hd.mp4" width,height)"

# Exact frames as PNG files (no ffmpeg on the PATH) to compare edges.
mkdir -p "$work/nopath"
for aa in 1 4; do
    PATH="$work/nopath" render --from 84 --to 84 --size 320x256 --aa "$aa" --output "$work/aa$aa/x.mp4"
done
plain=$(identify -format %k "$work/aa1/frame-00000.png")
smooth=$(identify -format %k "$work/aa4/frame-00000.png")
[ "$smooth" -gt $((plain * 3 / 2)) ] || fail "anti-aliasing gave $smooth colours, without it $plain"

render --from 40 --to 41 --crf 10 --output "$work/fine.mp4"
render --from 40 --to 41 --crf 40 --output "$work/coarse.mp4"
[ "$(stat -c %s "$work/fine.mp4")" -gt "$(stat -c %s "$work/coarse.mp4")" ] || fail "--crf 10 is not larger than --crf 40"

# 9 to 11 s crosses a chunk boundary (frame 250).
render --from 9 --to 11 --jobs 1 --output "$work/one.mp4"
render --from 9 --to 11 --jobs 2 --output "$work/two.mp4"
render --from 9 --to 9.96 --output "$work/part1.mp4"
render --from 10 --to 11 --output "$work/part2.mp4"
render --join "$work/part1.mp4" "$work/part2.mp4" --output "$work/joined.mp4"
frames "$work/one.mp4" >"$work/one.md5"
[ "$(wc -l <"$work/one.md5")" = 51 ] || fail "--jobs 1 gave $(wc -l <"$work/one.md5") frames, not 51"
frames "$work/two.mp4" | cmp -s - "$work/one.md5" || fail "--jobs 2 decodes to other frames than --jobs 1"
frames "$work/joined.mp4" | cmp -s - "$work/one.md5" || fail "the joined parts decode to other frames than one render"
"$movie" --join "$work/part2.mp4" "$work/part1.mp4" --output "$work/wrong.mp4" 2>"$work/stderr" &&
    fail "parts out of order were joined"
grep -q "starts at frame" "$work/stderr" || fail "parts out of order: $(cat "$work/stderr")"

# A parallel render stopped half way keeps the previous movie and leaves nothing.
mkdir -p "$work/stop"
echo "the previous movie" >"$work/stop/lumenfold.mp4"
"$movie" --jobs 2 --output "$work/stop/lumenfold.mp4" 2>"$work/stop.log" &
pid=$!
chunk_written() { ls "$work/stop/.lumenfold.mp4.parts" 2>/dev/null | grep -q '^chunk-'; }
wait_for "a chunk of the parallel render being written" chunk_written
kill -TERM "$pid"
finish
[ "$status" != 0 ] || fail "a stopped render ended with status 0"
[ "$(cat "$work/stop/lumenfold.mp4")" = "the previous movie" ] || fail "the previous movie was changed"
[ "$(ls -A "$work/stop")" = lumenfold.mp4 ] || fail "left behind: $(ls -A "$work/stop")"
parts_gone() { ! pgrep -f -- "--chunks-into $work/stop" >/dev/null; }
wait_for "the parts' processes ending" parts_gone
echo "PASS: size, anti-aliasing ($plain -> $smooth colours), quality, refusals, --jobs and join, stop"
