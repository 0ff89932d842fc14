#!/usr/bin/env bash
# The movie program touches only what it made and leaves no work running: a chunk already there
# is never replaced, and a chunk has its name only once finished, even when its part is killed;
# an output that is a folder, a device, a pipe or in a folder that takes no file is refused
# before anything is rendered, and one taken meanwhile is kept and the failure said as it is; a
# failed render leaves no folder it made and no log that no message names; no
# descriptor of the caller reaches the encoder; a failed part says why; HUP stops a parallel
# render as TERM does, a killed parent takes its parts with it and the next run names what it
# left; the progress is a line at each tenth in a log, a line redrawn in place on a terminal,
# nothing with --quiet.
#   movie_safety.sh LUMENFOLD FIND_BYTES LUMENFOLD_MOVIE
movie_bin=${3:?usage: movie_safety.sh LUMENFOLD FIND_BYTES LUMENFOLD_MOVIE}
. "$(dirname "$0")/lib.sh"
movie=$work/lumenfold-movie
printf '#!/bin/sh\nexec /usr/bin/env -u DISPLAY -u XAUTHORITY "%s" "$@"\n' "$movie_bin" >"$movie"
chmod +x "$movie"
small=(--size 64x64)
count_frames() { ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames -of csv=p=0 "$1"; }

# A chunk that is there already, made by someone else, is kept; the part says why it stopped.
mkdir -p "$work/d"
echo precious >"$work/d/chunk-000000.mp4"
"$movie" --chunks-into "$work/d" --first-frame 0 --last-frame 40 "${small[@]}" 2>"$work/stderr"
status=$?
[ "$status" = 1 ] || fail "a part over an existing chunk ended with status $status, not 1"
[ "$(cat "$work/d/chunk-000000.mp4" 2>/dev/null)" = precious ] || fail "a part removed or replaced a chunk it did not make"
grep -q "chunk-000000.mp4 exists already" "$work/stderr" || fail "the part said: $(cat "$work/stderr")"
[ "$(ls -A "$work/d")" = chunk-000000.mp4 ] || fail "the refused part left: $(ls -A "$work/d")"

# A chunk has its name only when finished: not while it is encoded, not after its part is killed.
# Heavy scenes (frames 2000 on) keep the encoder busy for seconds even at 64 x 64.
mkdir -p "$work/e"
setsid "$movie" --chunks-into "$work/e" --first-frame 2000 --last-frame 2249 "${small[@]}" 2>/dev/null &
pid=$!
encoding() { find "$work/e" -name '*.mp4' -size +0 | grep -q .; }
wait_for "the part's encoder writing" encoding
ls "$work/e" | grep -q '^chunk-' && fail "a chunk has its name while it is encoded: $(ls "$work/e")"
kill -KILL "$pid"
finish
encoders_gone() { ! pgrep -f -- "ffmpeg .*$work/e/" >/dev/null; }
wait_for "the killed part's encoder ending" encoders_gone
ls "$work/e" | grep -q '^chunk-' && fail "a killed part left a chunk under a chunk's name: $(ls "$work/e")"
"$movie" --chunks-into "$work/e" --first-frame 2240 --last-frame 2249 "${small[@]}" 2>"$work/stderr" ||
    fail "the part after a killed one failed: $(cat "$work/stderr")"
[ "$(count_frames "$work/e/chunk-000008.mp4")" = 10 ] || fail "the finished chunk does not hold its 10 frames"

# Outputs that cannot take a movie: refused in one line, before any rendering, nothing touched.
mkdir -p "$work/out/folder"
mkfifo "$work/out/pipe"
echo "a user's file" >"$work/out/afile"
outputs=("$work/out/folder" "$work/out/folder/" "$work/out/pipe" "$work/out/afile/movie.mp4" /sys/lumenfold.mp4)
# A device node can be made only by root.
mknod "$work/out/null" c 1 3 2>/dev/null && outputs+=("$work/out/null")
for output in "${outputs[@]}"; do
    "$movie" --to 0.2 "${small[@]}" --jobs 1 --output "$output" 2>"$work/stderr"
    status=$?
    [ "$status" = 1 ] || fail "--output $output ended with status $status, not 1"
    [ "$(wc -l <"$work/stderr")" = 1 ] && grep -q "^lumenfold-movie: .*$(basename "$output")" "$work/stderr" ||
        fail "--output $output was not refused in one line: $(cat "$work/stderr")"
    grep -q ffmpeg "$work/stderr" && fail "--output $output: $(cat "$work/stderr")"
done
[ -p "$work/out/pipe" ] || fail "the named pipe was replaced"
[ -e "$work/out/null" ] && { [ -c "$work/out/null" ] || fail "the device node was replaced"; }
[ "$(cat "$work/out/afile")" = "a user's file" ] || fail "the user's file was changed"
[ -z "$(ls -A "$work/out/folder")" ] || fail "left in the folder: $(ls -A "$work/out/folder")"
[ "$(ls -A "$work/out" | grep -c '^\.')" = 0 ] || fail "hidden files left: $(ls -A "$work/out")"

# The output's name taken by a folder while the movie renders: the folder stays, the failure is
# said as what it is (not as the encoder's), and no log is left.
mkdir -p "$work/race"
"$movie" --from 80 --to 84 "${small[@]}" --jobs 1 --output "$work/race/movie.mp4" 2>"$work/stderr" &
pid=$!
working() { ls -A "$work/race" | grep -q '^\.movie\.mp4\.'; }
wait_for "the render's work folder" working
mkdir "$work/race/movie.mp4" || fail "the render ended before its name could be taken"
finish
[ "$status" = 1 ] || fail "a render whose name was taken ended with status $status"
grep -q "^lumenfold-movie: .*not put in place: .*movie.mp4 is a folder" "$work/stderr" || fail "a taken name was said as: $(cat "$work/stderr")"
grep -q "ffmpeg failed" "$work/stderr" && fail "a taken name was blamed on ffmpeg: $(cat "$work/stderr")"
[ "$(ls -A "$work/race")" = movie.mp4 ] && [ -d "$work/race/movie.mp4" ] || fail "after a taken name: $(ls -A "$work/race")"

# A descriptor the caller left open reaches neither the parts nor their encoders.
mkdir -p "$work/fdbin"
printf '#!/bin/sh\nls -l /proc/$$/fd/ >>"%s" 2>&1\nexit 1\n' "$work/encoder-fds" >"$work/fdbin/ffmpeg"
chmod +x "$work/fdbin/ffmpeg"
for jobs in 1 2; do
    PATH="$work/fdbin:$PATH" "$movie" --from 9 --to 11 "${small[@]}" --jobs "$jobs" --output "$work/fd.mp4" \
        2>"$work/stderr" 9>"$work/inherited-marker"
    [ -s "$work/encoder-fds" ] || fail "--jobs $jobs: the encoder was not started: $(cat "$work/stderr")"
    grep -q inherited-marker "$work/encoder-fds" && fail "--jobs $jobs: an inherited descriptor reached the encoder: $(cat "$work/encoder-fds")"
    rm "$work/encoder-fds"
done

# A failed render into folders it had to make leaves none of them, and no log unless its message
# names it: an encoder that fails silently leaves nothing; one that says why leaves its log, named.
mkdir -p "$work/failbin" "$work/saybin"
printf '#!/bin/sh\nexit 1\n' >"$work/failbin/ffmpeg"
printf '#!/bin/sh\necho "x264: no such preset" >&2\nexit 1\n' >"$work/saybin/ffmpeg"
chmod +x "$work/failbin/ffmpeg" "$work/saybin/ffmpeg"
for run in "failbin 1" "failbin 2" "saybin 1"; do
    read -r bin jobs <<<"$run"
    PATH="$work/$bin:$PATH" "$movie" --to 0.2 "${small[@]}" --jobs "$jobs" --output "$work/new/deep/m.mp4" \
        2>"$work/stderr"
    status=$?
    [ "$status" = 1 ] || fail "$run: a render whose encoder failed ended with status $status, not 1"
    grep -q "^lumenfold-movie: $work/new/deep/m.mp4 could not be made: " "$work/stderr" || fail "$run: the failure said: $(cat "$work/stderr")"
    log=$(sed -n 's/.*(\(its\|the\) messages are kept in \(.*\.log\)):$/\2/p' "$work/stderr")
    left=$(find "$work/new" 2>/dev/null | tr '\n' ' ')
    if [ -z "$log" ]; then
        [ -z "$left" ] || fail "$run: a failed render left $left; it said: $(cat "$work/stderr")"
    else
        [ "$left" = "$work/new $work/new/deep $log " ] && [ -s "$log" ] ||
            fail "$run: beside the log its message names ($log), a failed render left: $left"
    fi
    case $run in
    "failbin 1") [ -z "$log" ] || fail "an encoder that said nothing: its log was kept: $(cat "$work/stderr")" ;;
    saybin*) grep -q "no such preset" "$log" || fail "the encoder's message was not kept and named: $(cat "$work/stderr")" ;;
    esac
    rm -rf "$work/new"
done

# A part that cannot run says why, through the parent: without the show's data (a folder with
# none) the show's own message reaches the user, not only that a part failed.
mkdir -p "$work/nodata"
(cd "$work/nodata" && "$movie" --from 9 --to 11 "${small[@]}" --jobs 2 --output "$work/nodata.mp4" 2>"$work/stderr")
status=$?
[ "$status" = 1 ] || fail "a parallel render without the show's data ended with status $status, not 1"
grep -q "error opening terrain file" "$work/stderr" || fail "a failed part's reason was lost: $(cat "$work/stderr")"

# Parallel renders stopped from outside; the whole show at 64 x 64 runs for far longer.
parallel_render() {
    mkdir -p "$work/$1"
    echo "the previous movie" >"$work/$1/lumenfold.mp4"
    setsid "$movie" --jobs 2 "${small[@]}" --output "$work/$1/lumenfold.mp4" 2>"$work/$1.log" &
    pid=$!
    target=$1
    wait_for "two parts running" two_parts
    wait_for "a chunk of the parallel render being encoded" chunk_encoding
}
parts() { pgrep -f -- "--chunks-into $work/$target/" | wc -l; }
two_parts() { [ "$(parts)" = 2 ]; }
parts_gone() { [ "$(parts)" = 0 ] && ! pgrep -f -- "ffmpeg .*$work/$target/" >/dev/null; }
chunk_encoding() { find "$work/$target" -path '*/.lumenfold.mp4.*' -name '*.mp4' -size +0 | grep -q .; }

# A closed terminal (HUP to the parent alone) stops it as TERM does: nothing left, nothing running.
parallel_render hup
kill -HUP "$pid"
finish
[ "$status" != 0 ] || fail "a render stopped by HUP ended with status 0"
[ "$(cat "$work/hup/lumenfold.mp4")" = "the previous movie" ] || fail "HUP: the previous movie was changed"
wait_for "the parts ending after HUP" parts_gone
[ "$(ls -A "$work/hup")" = lumenfold.mp4 ] || fail "HUP left behind: $(ls -A "$work/hup")"

# A job's cancel (Slurm's scancel) sends TERM to every process of the job, the encoder too: a
# render whose write into the encoder the signal breaks says it was stopped, not that ffmpeg
# failed. A stand-in ffmpeg reads nothing; once the program is held writing to it, it signals the
# program and then itself.
mkdir -p "$work/cancel"
cat >"$work/cancel/ffmpeg" <<EOF
#!/usr/bin/env bash
case " \$* " in *" rawvideo "*)
    for _ in \$(seq 3600); do case \$(cat /proc/\$PPID/wchan) in *pipe_write) break ;; esac; sleep 0.05; done
    kill -TERM "\$PPID"; kill -TERM \$\$ ;;
esac
exec "$(command -v ffmpeg)" "\$@"
EOF
chmod +x "$work/cancel/ffmpeg"
PATH=$work/cancel:$PATH "$movie" --from 9 --to 11 "${small[@]}" --jobs 1 --output "$work/cancel/m.mp4" 2>"$work/stderr" &
pid=$!
finish
[ "$status" = 1 ] || fail "a render cancelled with its encoder ended with status $status, not 1"
grep -q "^lumenfold-movie: $work/cancel/m.mp4 could not be made: stopped$" "$work/stderr" ||
    fail "a render cancelled with its encoder said: $(cat "$work/stderr")"
[ "$(ls -A "$work/cancel")" = ffmpeg ] || fail "the cancelled render left: $(ls -A "$work/cancel")"

# The parent killed outright: its parts end with it (each removing the chunk it was encoding)
# instead of rendering on. Only the hidden work folder, with whole chunks and logs, and its log
# stay, which the next run names and leaves alone.
parallel_render kill
kill -KILL "$pid"
finish
wait_for "the parts ending after their parent was killed" parts_gone
[ "$(cat "$work/kill/lumenfold.mp4")" = "the previous movie" ] || fail "KILL: the previous movie was changed"
left=$(ls -A "$work/kill" | grep -v '^lumenfold.mp4$' | tr '\n' ' ')
folder=$(ls -d "$work"/kill/.lumenfold.mp4.?????? 2>/dev/null)
[ -n "$folder" ] && [ "$left" = "$(basename "$folder") $(basename "$folder").log " ] || fail "KILL left: $left"
ls "$folder" | grep -q '^report-' && fail "the parts rendered on after their parent was killed: $(ls "$folder")"
[ -z "$(ls -A "$folder" | grep '^\.chunk-')" ] || fail "a part left the chunk it was encoding: $(ls -A "$folder")"
"$movie" --from 9 --to 9.2 "${small[@]}" --jobs 1 --output "$work/kill/lumenfold.mp4" 2>"$work/stderr" ||
    fail "the run after a killed one failed: $(cat "$work/stderr")"
grep -q "^lumenfold-movie: $folder (and $folder.log, when there) was left by a render that was killed" "$work/stderr" ||
    fail "the next run did not name what the killed one left: $(cat "$work/stderr")"
[ -d "$folder" ] || fail "the next run removed a folder it did not make"

# Progress: in a log a line at each tenth, from one process or from parts; none with --quiet;
# on a terminal one line redrawn in place, cleared for the summary. One process counts every
# frame, so every tenth has its line; the parts' counts come in jumps as the parent is scheduled
# (a busy machine may let many arrive at once), so there a line for each new tenth reached, none
# repeated.
tenths() { sed -n "s/^lumenfold-movie: frame [0-9]* of 51 (\([0-9]*\)%), [0-9.]* frames a second, [0-9:]* left$/\1/p" "$1" | awk '{ print int($1 / 10) }'; }
for jobs in 1 2; do
    "$movie" --from 9 --to 11 "${small[@]}" --jobs "$jobs" --output "$work/p$jobs.mp4" 2>"$work/progress.log" ||
        fail "--jobs $jobs: $(cat "$work/progress.log")"
    shown=$(tenths "$work/progress.log" | tr '\n' ' ')
    if [ "$jobs" = 1 ]; then
        [ "$shown" = "1 2 3 4 5 6 7 8 9 10 " ] || fail "--jobs 1: not a line at each tenth: $(cat "$work/progress.log")"
    else
        [ -n "$shown" ] && [ "$(tenths "$work/progress.log" | sort -nu | tr '\n' ' ')" = "$shown" ] ||
            fail "--jobs 2: not one line for each new tenth: $(cat "$work/progress.log")"
    fi
    grep -q "^lumenfold-movie: frame 51 of 51 (100%)" "$work/progress.log" || fail "--jobs $jobs: no line at 100 %"
    tail -n 1 "$work/progress.log" | grep -q "^51 frames of 64x64" || fail "--jobs $jobs: no summary at the end"
done
"$movie" --from 9 --to 11 "${small[@]}" --quiet --output "$work/quiet.mp4" 2>"$work/progress.log" || fail "--quiet failed"
[ "$(grep -c '^lumenfold-movie: frame' "$work/progress.log")" = 0 ] || fail "--quiet still said: $(cat "$work/progress.log")"
grep -q "^51 frames of 64x64" "$work/progress.log" || fail "--quiet lost the summary"
script -q -e -c "$movie --from 9 --to 11 ${small[*]} --jobs 2 --output $work/tty.mp4" "$work/typescript" >/dev/null ||
    fail "the render on a terminal failed: $(cat "$work/typescript")"
grep -q $'\rframe 51 of 51 (100%), [0-9.]* frames a second, 0:00 left\e\\[K\r\e\\[K51 frames of 64x64' "$work/typescript" ||
    fail "no live line on the terminal: $(cat -v "$work/typescript")"
grep -q "^lumenfold-movie: frame" "$work/typescript" && fail "plain lines on a terminal: $(cat -v "$work/typescript")"
echo "PASS: chunks kept and named when finished, outputs refused before rendering, a taken name said, no inherited descriptor, a part's failure said, HUP and KILL leave no part running, a cancel with the encoder said as a stop, progress"
