#!/usr/bin/env bash
# The movie program's size, anti-aliasing, quality and parallel options: the size ffprobe sees,
# an anti-aliased frame with smoother edges (more distinct colours) than the same frame without,
# a higher quality making a larger file, refusals of bad values, --jobs 2 and a join of two
# parts decoding to the same frames as --jobs 1 (and saying how many processes it used), a
# failing encoder reported once, by the parent, naming the file and keeping the encoder's
# messages, and a stopped parallel render (its whole process group signalled) keeping the
# previous movie, leaving nothing behind and no process running; all without a display, and a
# broken EGL said in one line; colours tagged BT.709 and decoding by the tags to the rendered
# pixels, at standard and high definition.
#   movie_hd.sh LUMENFOLD FIND_BYTES LUMENFOLD_MOVIE
movie_bin=${3:?usage: movie_hd.sh LUMENFOLD FIND_BYTES LUMENFOLD_MOVIE}
. "$(dirname "$0")/lib.sh"
# The movie program needs no display: every run here is without one.
movie=$work/lumenfold-movie
printf '#!/bin/sh\nexec /usr/bin/env -u DISPLAY -u XAUTHORITY "%s" "$@"\n' "$movie_bin" >"$movie"
chmod +x "$movie"

render() { "$movie" "$@" 2>>"$work/movie.log" || fail "lumenfold-movie $* failed: $(tail -n 3 "$work/movie.log")"; }
probe() { ffprobe -v error -select_streams v:0 -show_entries "stream=$2" -of csv=p=0 "$1"; }
frames() { ffmpeg -v error -i "$1" -map 0:v -f framemd5 - | grep -v '^#'; }

for bad in "--size 1921x1080" "--size 4000x2160" "--size 8x8" "--size 1280" "--aa 0" \
    "--crf 52" "--jobs 0" "--fps x" "--aa 4.0" "--size +1920x+1080" "--from 0x10" "--fps 1e1"; do
    # shellcheck disable=SC2086
    "$movie" $bad --output "$work/bad.mp4" >/dev/null 2>"$work/stderr"
    status=$?
    [ "$status" = 2 ] || fail "'$bad' ended with status $status, not 2"
    head -n 1 "$work/stderr" | grep -q "^lumenfold-movie: ${bad%% *} takes" ||
        fail "'$bad' said: $(head -n 1 "$work/stderr")"
    [ -e "$work/bad.mp4" ] && fail "'$bad' wrote a movie"
done
: >"$work/stderr"

# Without a usable EGL: one line and status 1, nothing written.
__EGL_VENDOR_LIBRARY_FILENAMES=/nonexistent "$movie" --from 20 --to 20.4 --output "$work/noegl.mp4" >/dev/null 2>"$work/stderr"
status=$?
[ "$status" = 1 ] || fail "with a broken EGL the status was $status, not 1"
[ "$(wc -l <"$work/stderr")" = 1 ] && grep -q '^lumenfold-movie: no OpenGL to render with: ' "$work/stderr" ||
    fail "with a broken EGL it said: $(cat "$work/stderr")"
[ -e "$work/noegl.mp4" ] && fail "a movie was written without EGL"

render --from 20 --to 20.4 --size 1280x720 --output "$work/hd.mp4"
grep -q "^rendering with " "$work/movie.log" || fail "the renderer was not named: $(cat "$work/movie.log")"
[ "$(probe "$work/hd.mp4" width,height)" = "1280,720" ] || fail "--size 1280x720 gave $(probe "$work/hd.mp4" width,height)"

# Exact frames as PNG files to compare edges.
for aa in 1 4; do
    render --from 84 --to 84 --size 320x256 --aa "$aa" --frames "$work/aa$aa"
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
tail -n 1 "$work/movie.log" | grep -q "with 2 processes:" || fail "--jobs 2 over two chunks: $(tail -n 1 "$work/movie.log")"
# Inside one chunk there is work for one process only, and it says so.
render --from 10 --to 10.4 --jobs 2 --output "$work/small.mp4"
tail -n 1 "$work/movie.log" | grep -q "with 1 process:" || fail "one chunk with --jobs 2: $(tail -n 1 "$work/movie.log")"
render --from 9 --to 9.96 --output "$work/part1.mp4"
render --from 10 --to 11 --output "$work/part2.mp4"
render --join "$work/part1.mp4" "$work/part2.mp4" --output "$work/joined.mp4"
frames "$work/one.mp4" >"$work/one.md5"
[ "$(wc -l <"$work/one.md5")" = 51 ] || fail "--jobs 1 gave $(wc -l <"$work/one.md5") frames, not 51"
frames "$work/two.mp4" | cmp -s - "$work/one.md5" || fail "--jobs 2 decodes to other frames than --jobs 1"
frames "$work/joined.mp4" | cmp -s - "$work/one.md5" || fail "the joined parts decode to other frames than one render"
tags() { ffprobe -v error -select_streams v:0 -show_entries stream=color_range,color_space,color_transfer,color_primaries -of csv=p=0 "$1"; }
for file in one two joined; do
    [ "$(tags "$work/$file.mp4")" = "tv,bt709,bt709,bt709" ] || fail "$file.mp4 is tagged '$(tags "$work/$file.mp4")'"
done

# Colours as rendered: a lossless frame decoded the way players decode it (BT.709, limited
# range, as the stream's tags say) against the rendered picture. 4:2:0 halves the colour's
# resolution, so edges differ; on average the error stays under 1 % (2.7 % at 1920 x 1080 when
# a BT.601 stream was shown as BT.709).
for size in 720x576 1920x1080; do
    render --from 84 --to 84 --size "$size" --frames "$work/colour-$size"
    render --from 84 --to 84 --size "$size" --crf 0 --output "$work/colour-$size.mp4"
    [ "$(tags "$work/colour-$size.mp4")" = "tv,bt709,bt709,bt709" ] || fail "$size is tagged '$(tags "$work/colour-$size.mp4")'"
    ffmpeg -v error -i "$work/colour-$size.mp4" -vf "scale=in_color_matrix=bt709:in_range=tv,format=rgb24" \
        -frames:v 1 "$work/decoded-$size.png" || fail "$size could not be decoded"
    error=$(compare -metric MAE "$work/colour-$size/frame-00000.png" "$work/decoded-$size.png" null: 2>&1 | sed 's/.*(\(.*\))/\1/')
    awk -v e="$error" 'BEGIN { exit !(e < 0.01) }' || fail "$size decodes $error away from the rendered colours"
    echo "colour error at $size: $error"
done
"$movie" --join "$work/part2.mp4" "$work/part1.mp4" --output "$work/wrong.mp4" 2>"$work/stderr" &&
    fail "parts out of order were joined"
grep -q "starts at frame" "$work/stderr" || fail "parts out of order: $(cat "$work/stderr")"

# An encoder that fails: one report, by the parent, naming the file; the encoder's words kept.
mkdir -p "$work/fakebin" "$work/fail"
printf '#!/bin/sh\necho "encoder says: no space left on the device" >&2\nexit 1\n' >"$work/fakebin/ffmpeg"
chmod +x "$work/fakebin/ffmpeg"
echo "the previous movie" >"$work/fail/lumenfold.mp4"
for jobs in 1 2; do
    PATH="$work/fakebin:$PATH" "$movie" --jobs "$jobs" --from 9 --to 11 --output "$work/fail/lumenfold.mp4" 2>"$work/stderr"
    status=$?
    [ "$status" = 1 ] || fail "a failing encoder (--jobs $jobs) ended with status $status"
    [ "$(grep -c '^lumenfold-movie:' "$work/stderr")" = 1 ] || fail "--jobs $jobs: not one report: $(cat "$work/stderr")"
    grep -q "^lumenfold-movie: $work/fail/lumenfold.mp4 could not be made" "$work/stderr" ||
        fail "--jobs $jobs: the report does not name the file: $(cat "$work/stderr")"
    grep -q "encoder says: no space left on the device" "$work/stderr" ||
        fail "--jobs $jobs: the encoder's message is not said: $(cat "$work/stderr")"
    grep -q "movie/lumenfold.mp4" "$work/stderr" && fail "--jobs $jobs: names another file: $(cat "$work/stderr")"
    log=$(ls -A "$work/fail" | grep '^\.lumenfold\.mp4\..*\.log$')
    [ -n "$log" ] && grep -q "no space left" "$work/fail/$log" || fail "--jobs $jobs: no log kept: $(ls -A "$work/fail")"
    [ "$(cat "$work/fail/lumenfold.mp4")" = "the previous movie" ] || fail "--jobs $jobs: the previous movie was changed"
    [ "$(ls -A "$work/fail" | wc -l)" = 2 ] || fail "--jobs $jobs: left behind: $(ls -A "$work/fail")"
    rm "$work/fail/$log"
done

# A parallel render stopped half way, its whole process group signalled as a terminal or a
# job runner does: the previous movie is kept, nothing is left, no part goes on running.
mkdir -p "$work/stop"
echo "the previous movie" >"$work/stop/lumenfold.mp4"
setsid "$movie" --jobs 2 --output "$work/stop/lumenfold.mp4" 2>"$work/stop.log" &
pid=$!
parts() { pgrep -f -- "--chunks-into $work/stop/" | wc -l; }
chunk_written() { ls "$work"/stop/.lumenfold.mp4.*/ 2>/dev/null | grep -q '^chunk-'; }
wait_for "a chunk of the parallel render being written" chunk_written
[ "$(parts)" = 2 ] || fail "not two parts running before the stop: $(parts)"
kill -TERM -- "-$pid"
finish
[ "$status" != 0 ] || fail "a stopped render ended with status 0"
[ "$(cat "$work/stop/lumenfold.mp4")" = "the previous movie" ] || fail "the previous movie was changed"
[ "$(ls -A "$work/stop")" = lumenfold.mp4 ] || fail "left behind: $(ls -A "$work/stop")"
parts_gone() { [ "$(parts)" = 0 ]; }
wait_for "the parts' processes ending" parts_gone
echo "PASS: size, anti-aliasing ($plain -> $smooth colours), quality, refusals, --jobs and join, a failing encoder, stop"
