#!/usr/bin/env bash
# cluster/render-slurm on a real one-node Slurm cluster started here: the joined movie decodes to
# the frames of a single render and leaves nothing in the work folder, even when the movie program
# writes on standard error, and into a path with % signs; a task cancelled in the middle of a
# chunk fails the join, which names it (one cancelled while it waited: that it never started), and a rerun with --resume (its options in another order, a default left out) renders only
# the chunk that is missing, leaving the others untouched; a second submission is refused while
# the first one's jobs are queued; a render killed outright leaves nothing the join keeps. Refused
# before anything is submitted, each for its own reason, leaving nothing made: a bad command
# line, a bad output, a work folder that exists or cannot be made, work and logs folders that
# overlap, a program whose answer does not parse; refused as a folder appears meanwhile, it
# leaves what the other submission made. A stop signal between the two sbatch calls cancels what
# was submitted.
movie_program=${1:?usage: render_slurm.sh LUMENFOLD_MOVIE}
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/tests/e2e/lib.sh"
. "$root/tests/cluster/one_node_cluster.sh"
trap 'cluster_stop; cleanup' EXIT
command -v ffmpeg >/dev/null || { echo "SKIP: no ffmpeg, so no movie can be made"; exit 77; }
missing=$(cluster_missing)
[ -z "$missing" ] || { echo "SKIP: Slurm is not installed (missing: $missing; tools/setup test installs slurm-wlm munge)"; exit 77; }
movie_program=$(cd "$(dirname "$movie_program")" && pwd)/$(basename "$movie_program")
cd "$root" || fail "cannot enter $root" # the jobs run where they are submitted: the show's data is here
render_slurm() { LUMENFOLD_MOVIE=${movie:-$movie_program} cluster/render-slurm "$@"; }

# 10 s to 30 s is frames 250 to 750: chunks 1 (250-499), 2 (500-749) and 3 (750 alone); two
# tasks take chunks 1-2 and 3.
options=(--from 10 --to 30 --size 64x48 --aa 1 --crf 23 --fps 25)
"$movie_program" "${options[@]}" --jobs 1 --output "$work/single.mp4" 2>"$work/single.log" ||
    fail "the single render failed: $(tail -3 "$work/single.log")"
frames() { ffmpeg -v error -i "$1" -f framemd5 - | grep -v '^#'; }
frames "$work/single.mp4" >"$work/single.md5"

cluster_start
no_job_queued() { [ -z "$(squeue -h -o %i)" ]; }

# Help is not an error.
cluster/render-slurm --help >"$work/help.txt" 2>"$work/help-stderr.txt"
status=$?
[ "$status" = 0 ] || fail "--help ended with status $status"
grep -q "^usage: render-slurm --output PATH" "$work/help.txt" && [ ! -s "$work/help-stderr.txt" ] ||
    fail "--help printed on standard output: $(cat "$work/help.txt"); on standard error: $(cat "$work/help-stderr.txt")"


# Outputs the join would refuse at the end are refused before anything is submitted (to this
# cluster, should a check be missing), with the program's reason, and nothing is made beside
# them: a symbolic link, a folder that takes no file, a folder that is a
# file. --work and --logs elsewhere, so that only the output's own check can refuse it.
mkdir -p "$work/link"
echo "a user's movie" >"$work/link/real.mp4"
ln -s real.mp4 "$work/link/movie.mp4"
echo "a user's file" >"$work/afile"
refused_output() { # EXPECTED-STATUS OUTPUT WORDS...
    local expected=$1 output=$2
    shift 2
    render_slurm "${options[@]}" --output "$output" --work "$work/w" --logs "$work/l/logs" \
        >"$work/submit-refused.txt" 2>&1
    local status=$?
    [ "$status" = "$expected" ] || fail "--output $output ended with status $status, not $expected: $(cat "$work/submit-refused.txt")"
    grep -q "^render-slurm: $output $*" "$work/submit-refused.txt" || fail "--output $output was refused saying: $(cat "$work/submit-refused.txt")"
    no_job_queued || fail "--output $output: jobs were submitted: $(squeue -h)"
    [ ! -e "$work/w" ] && [ ! -e "$work/l" ] || fail "--output $output: the refusal left $(ls -d "$work/w" "$work/l" 2>/dev/null)"
}
refused_output 1 "$work/link/movie.mp4" is a symbolic link
[ "$(ls -A "$work/link" | tr '\n' ' ')" = "movie.mp4 real.mp4 " ] || fail "beside the refused output: $(ls -A "$work/link")"
refused_output 1 /sys/lumenfold/movie.mp4 cannot be written: its folder /sys/lumenfold cannot be made
refused_output 1 /sys/movie.mp4 cannot be written: no new file can be made in /sys
refused_output 1 "$work/afile/movie.mp4" cannot be written: its folder "$work/afile" cannot be made
[ "$(cat "$work/afile")" = "a user's file" ] || fail "the file named as a folder was changed"

# A work folder that is there already (not render-slurm's) is refused, and the folders the
# submission made for the output and its logs go again.
mkdir -p "$work/taken"
render_slurm "${options[@]}" --output "$work/new/movie.mp4" --work "$work/taken" >"$work/submit-taken.txt" 2>&1 &&
    fail "a submission into a work folder that exists went ahead"
grep -q "^render-slurm: $work/taken is a folder render-slurm did not make" "$work/submit-taken.txt" ||
    fail "the refusal said: $(cat "$work/submit-taken.txt")"
[ ! -e "$work/new" ] || fail "the refused submission left $(find "$work/new" | tr '\n' ' ')"
[ -z "$(ls -A "$work/taken")" ] || fail "the refused submission wrote into the folder it refused: $(ls -A "$work/taken")"

# Command lines refused for their own reason, with status 2 (a bad command line) or 1, leaving
# nothing made: an unknown option wherever it stands, a value that is an option, a stray word;
# a work folder that cannot be made, work and logs folders that overlap, a backslash in the logs.
refused_line() { # STATUS WORDS-SAID ARGUMENTS...
    local expected=$1 said=$2
    shift 2
    render_slurm "$@" >"$work/submit-line.txt" 2>&1
    local status=$?
    [ "$status" = "$expected" ] && grep -qF "render-slurm: $said" "$work/submit-line.txt" ||
        fail "render-slurm $* ended with status $status saying: $(cat "$work/submit-line.txt")"
    [ ! -e "$work/new" ] || fail "render-slurm $* left $(find "$work/new" | tr '\n' ' ')"
}
o=$work/new/movie.mp4
refused_line 2 "unknown option '--frobnicate'" --output "$o" --frobnicate
refused_line 2 "unknown option '--frobnicate'" --frobnicate --output "$o"
refused_line 2 "--output needs a value" --output --output "$o"
refused_line 2 "'stray' is not an option" --output "$o" stray
refused_line 1 "cannot make the work folder /proc/lumenfold: No such file" "${options[@]}" --output "$o" --work /proc/lumenfold
refused_line 2 "--work and --logs are the same folder $work/new/w:" --output "$o" --work "$work/new/w" --logs "$work/new/w/"
refused_line 2 "the logs folder $work/new/w/l is in the work folder" --output "$o" --work "$work/new/w" --logs "$work/new/./w/l"
refused_line 2 "the logs folder $work/new/a\\b holds a backslash" --output "$o" --logs "$work/new/a\\b"

# Two submissions at once: the refused one removes only what it made itself. A stand-in mkdir
# makes each folder just before render-slurm's own mkdir of it, as the other submission would
# between this one's look and its mkdir.
mkdir -p "$work/race/bin"
cat >"$work/race/bin/mkdir" <<EOF
#!/usr/bin/env bash
case \$1 in *.logs | *.parts) "$(command -v mkdir)" "\$1" ;; esac
exec "$(command -v mkdir)" "\$@"
EOF
chmod +x "$work/race/bin/mkdir"
PATH=$work/race/bin:$PATH render_slurm "${options[@]}" --output "$work/race/movie.mp4" >"$work/submit-race.txt" 2>&1 &&
    fail "a submission into a work folder made meanwhile went ahead"
[ -d "$work/race/movie.mp4.logs" ] && [ -d "$work/race/movie.mp4.parts" ] ||
    fail "the refused submission removed what the other made: $(ls -A "$work/race" | tr '\n' ' '); it said: $(cat "$work/submit-race.txt")"

# The program's answers are read from its standard output alone, and one that does not parse is
# refused: a library's line on standard output is not taken for a chunk.
mkdir -p "$work/noisy" "$work/chatty"
printf '#!/bin/sh\necho "libEGL warning: a line on standard error" >&2\nexec "%s" "$@"\n' "$movie_program" >"$work/noisy/lumenfold-movie"
printf '#!/bin/sh\necho "MESA: a line on standard output"\nexec "%s" "$@"\n' "$movie_program" >"$work/chatty/lumenfold-movie"
chmod +x "$work/noisy/lumenfold-movie" "$work/chatty/lumenfold-movie"
movie=$work/chatty/lumenfold-movie render_slurm "${options[@]}" --output "$work/chatty/movie.mp4" \
    >"$work/submit-chatty.txt" 2>&1
status=$?
[ "$status" = 1 ] || fail "an answer that does not parse ended the submission with status $status: $(cat "$work/submit-chatty.txt")"
grep -q "said 'MESA: a line on standard output" "$work/submit-chatty.txt" || fail "the refusal said: $(cat "$work/submit-chatty.txt")"
no_job_queued || fail "jobs were submitted from an answer that does not parse: $(squeue -h)"
[ "$(ls -A "$work/chatty")" = lumenfold-movie ] || fail "the refused submission left: $(ls -A "$work/chatty")"

# job_state ID: the job's state as slurmctld keeps it (finished jobs stay for MinJobAge).
job_state() { scontrol -o show job "$1" 2>/dev/null | sed -n 's/.*JobState=\([A-Z_]*\).*/\1/p'; }
ended() { case $(job_state "$1") in COMPLETED | FAILED | CANCELLED | TIMEOUT | NODE_FAIL | OUT_OF_MEMORY) true ;; *) false ;; esac; }
job_id() { sed -n "s/^$1: job[a-z ]* \([0-9]*\).*/\1/p" "$2"; }
same_frames() { [ -s "$1" ] && cmp -s <(frames "$1") "$work/single.md5"; }
# Nothing but the movie and the logs folder beside it: no work folder, no hidden leftover.
only_movie_and_logs() { [ "$(ls -A "$(dirname "$1")")" = "$(basename "$1")"$'\n'"$(basename "$1").logs" ]; }

# 1. A whole render: two tasks and the join, with a program that writes on standard error.
out=$work/a/movie.mp4
started=$SECONDS
movie=$work/noisy/lumenfold-movie render_slurm "${options[@]}" --tasks 2 --output "$out" \
    >"$work/submit-a.txt" 2>&1 || fail "submitting failed: $(cat "$work/submit-a.txt")"
join=$(job_id join "$work/submit-a.txt")
[ -n "$join" ] || fail "the submission did not say the join's job id: $(cat "$work/submit-a.txt")"
grep -q "^movie: $out$" "$work/submit-a.txt" || fail "the submission did not say where the movie goes"
grep -q "^parts: job array [0-9]*, tasks 0 1 of 2 (frames 250 to 750, 3 chunks)$" "$work/submit-a.txt" ||
    fail "the submission did not share frames 250 to 750 out as 3 chunks: $(cat "$work/submit-a.txt")"
wait_for "the end of the join job $join" ended "$join"
[ "$(job_state "$join")" = COMPLETED ] || fail "the join ended $(job_state "$join"): $(cat "$out".logs/join-*.log)"
echo "two tasks and the join took $((SECONDS - started)) s"
same_frames "$out" || fail "the joined movie does not decode to the frames of a single render"
only_movie_and_logs "$out" || fail "left beside the movie: $(ls -A "$(dirname "$out")" | tr '\n' ' ')"

# A single chunk, into a path with % signs and spaces (sbatch reads its log names as patterns):
# the jobs start, the movie is joined, and the words are singular.
out="$work/50%a off/100%j film.mp4"
render_slurm --from 10 --to 11 --size 64x48 --aa 1 --output "$out" >"$work/submit-percent.txt" 2>&1 ||
    fail "submitting into a path with % failed: $(cat "$work/submit-percent.txt")"
grep -q "^parts: job array [0-9]*, tasks 0 of 1 (frames 250 to 275, 1 chunk)$" "$work/submit-percent.txt" ||
    fail "the submission said: $(cat "$work/submit-percent.txt")"
join=$(job_id join "$work/submit-percent.txt")
wait_for "the end of the join job $join" ended "$join"
[ "$(job_state "$join")" = COMPLETED ] || fail "with % in the path the join ended $(job_state "$join"): $(ls -A "$out.logs" 2>&1)"
grep -qx "joined 1 part into $out" "$out.logs/join-$join.log" || fail "the join's log says: $(cat "$out.logs/join-$join.log")"
[ -s "$out" ] && only_movie_and_logs "$out" || fail "beside the movie with % in its path: $(ls -A "$work/50%a off" | tr '\n' ' ')"

# Tasks cancelled while they wait never start: the join says so, naming no log that is not there.
out=$work/pending/movie.mp4
render_slurm "${options[@]}" --tasks 2 --output "$out" -- --hold >"$work/submit-pending.txt" 2>&1 ||
    fail "submitting failed: $(cat "$work/submit-pending.txt")"
parts=$(job_id parts "$work/submit-pending.txt") join=$(job_id join "$work/submit-pending.txt")
scancel "$parts" || fail "the waiting parts could not be cancelled"
scontrol release "$join" || fail "the join could not be released"
wait_for "the end of the join job $join after its parts were cancelled waiting" ended "$join"
log=$out.logs/join-$join.log
for task in 0 1; do
    grep -q "^task ${parts}_$task failed: .* not made; it never started (it has no log)$" "$log" ||
        fail "the join's log does not say task ${parts}_$task never started: $(cat "$log")"
done

# 2. Task 0 cancelled while its second chunk is being encoded. lumenfold-movie is stopped when it
# starts the encoder of frames 500 to 749 (a stand-in ffmpeg stops its parent), so the cancel
# lands in the middle of a chunk whatever the machine's speed.
mkdir -p "$work/bin" "$work/freeze"
cat >"$work/bin/lumenfold-movie" <<EOF
#!/usr/bin/env bash
echo "\$*" | grep -o -- '--first-frame [0-9]*' >>"$work/calls"
case " \$* " in *" --first-frame 500 "*) [ -e "$work/freeze/on" ] && export PATH="$work/freeze:\$PATH" ;; esac
exec "$movie_program" "\$@"
EOF
cat >"$work/freeze/ffmpeg" <<EOF
#!/usr/bin/env bash
case " \$* " in *" rawvideo "*) echo "\$PPID" >"$work/frozen"; kill -STOP "\$PPID" ;; esac
PATH=\${PATH#$work/freeze:} exec ffmpeg "\$@"
EOF
chmod +x "$work/bin/lumenfold-movie" "$work/freeze/ffmpeg"
touch "$work/freeze/on"
out=$work/b/movie.mp4
movie=$work/bin/lumenfold-movie render_slurm "${options[@]}" --tasks 2 --output "$out" \
    >"$work/submit-b.txt" 2>&1 || fail "submitting failed: $(cat "$work/submit-b.txt")"
parts=$(job_id parts "$work/submit-b.txt") join=$(job_id join "$work/submit-b.txt")
[ -n "$parts" ] || fail "the submission did not say the parts' job id: $(cat "$work/submit-b.txt")"
wait_for "lumenfold-movie starting to encode frames 500 to 749" test -s "$work/frozen"
scancel "${parts}_0" || fail "scancel ${parts}_0 failed"
wait_for "the end of the join job $join after the cancel" ended "$join"
[ "$(job_state "$join")" = FAILED ] || fail "the join ended $(job_state "$join") with a task cancelled, not FAILED"
grep -q "task ${parts}_0 failed: chunk 2 (frames 500 to 749) not made" "$out".logs/join-*.log ||
    fail "the join's log does not name task ${parts}_0: $(cat "$out".logs/join-*.log)"
gone() { ! kill -0 "$1" 2>/dev/null; }
wait_for "the cancelled task's lumenfold-movie ending" gone "$(cat "$work/frozen")"
work_b=$out.parts
chunks_and_notes="chunk-000001.mp4 chunk-000003.mp4 render-jobs render-plan render-settings "
listing=$(ls -A "$work_b" | tr '\n' ' ')
[ "$listing" = "$chunks_and_notes" ] ||
    fail "after the cancel the work folder holds '$listing', not the two finished chunks and render-slurm's notes"
[ ! -e "$out" ] || fail "a movie was made although a task failed"
render_slurm "${options[@]}" --tasks 2 --output "$out" >"$work/submit-again.txt" 2>&1 &&
    fail "a new render over the unfinished one's chunks was submitted"
grep -q -- "--resume" "$work/submit-again.txt" || fail "the refusal does not point to --resume: $(cat "$work/submit-again.txt")"
render_slurm "${options[@]}" --crf 30 --tasks 2 --output "$out" --resume >"$work/submit-other.txt" 2>&1 &&
    fail "a resume with another quality over the chunks made was submitted"
grep -q "made with other settings" "$work/submit-other.txt" || fail "the refusal does not say the settings differ: $(cat "$work/submit-other.txt")"

# 3. The rerun, its options in another order and the frame rate (a default) left out: only chunk
# 2 is rendered; chunks 1 and 3 stay the very files they were. Both jobs are held (Slurm's own
# --hold, passed through): a second submission into the work folder is refused while they are
# queued, and the chunks are looked at before the join. The render of chunk 2 is then killed
# outright (KILL, as Slurm does once KillWait has run out): the join removes what it left, says
# so, and fails naming the task.
kept_before=$(stat -c '%i %Y' "$work_b/chunk-000001.mp4" "$work_b/chunk-000003.mp4")
rm -f "$work/calls" "$work/frozen"
reordered=(--crf 23 --size 64x48 --aa 1 --to 30 --from 10)
movie=$work/bin/lumenfold-movie render_slurm --tasks 2 "${reordered[@]}" --output "$out" \
    --resume -- --hold >"$work/submit-c.txt" 2>&1 || fail "resuming failed: $(cat "$work/submit-c.txt")"
parts=$(job_id parts "$work/submit-c.txt") join=$(job_id join "$work/submit-c.txt")
grep -q "^parts: job array $parts, tasks 0 of 2" "$work/submit-c.txt" ||
    fail "the rerun did not submit task 0 alone: $(cat "$work/submit-c.txt")"
grep -q "^task 1 (chunks 3): every chunk is already made, not submitted" "$work/submit-c.txt" ||
    fail "the rerun did not say task 1 was not needed: $(cat "$work/submit-c.txt")"
queued=$(squeue -h -o %i | sort)
render_slurm "${options[@]}" --tasks 2 --output "$out" --resume >"$work/submit-twice.txt" 2>&1 &&
    fail "a second submission into $work_b went ahead while the first one's jobs were queued: $(cat "$work/submit-twice.txt")"
grep -q "^render-slurm: job $parts of the earlier submission into $work_b is still queued or running" "$work/submit-twice.txt" ||
    fail "the second submission was refused saying: $(cat "$work/submit-twice.txt")"
[ "$(squeue -h -o %i | sort)" = "$queued" ] || fail "the refused submission changed the queue: $(squeue -h)"
scontrol release "$parts" || fail "the rerun's parts could not be released"
wait_for "lumenfold-movie starting to encode frames 500 to 749 again" test -s "$work/frozen"
killed=$(ls -d "$work_b"/.chunk-000002.mp4.?????? 2>/dev/null)
[ -n "$killed" ] && [ -e "$killed.log" ] || fail "no hidden work folder and log of chunk 2's render: $(ls -A "$work_b")"
kill -KILL "$(cat "$work/frozen")" || fail "the render of chunk 2 could not be killed"
wait_for "the end of the rerun's task ${parts}_0" ended "${parts}_0"
[ "$(cat "$work/calls")" = "--first-frame 500" ] || fail "the rerun rendered '$(tr '\n' ' ' <"$work/calls")', not frames 500 to 749 alone"
[ "$(stat -c '%i %Y' "$work_b/chunk-000001.mp4" "$work_b/chunk-000003.mp4")" = "$kept_before" ] ||
    fail "the rerun replaced chunks that were already made"
log=$out.logs/part-${parts}_0.log
grep -q "chunk 1 (frames 250 to 499): kept, made by an earlier run" "$log" || fail "task 0's log does not say chunk 1 was kept: $(cat "$log")"
grep -q "chunk 2 (frames 500 to 749): rendering" "$log" || fail "task 0's log does not say chunk 2 was rendered: $(cat "$log")"
scontrol release "$join" || fail "the rerun's join could not be released"
wait_for "the end of the rerun's join job $join" ended "$join"
log=$out.logs/join-$join.log
[ "$(job_state "$join")" = FAILED ] || fail "the join ended $(job_state "$join") with a task killed, not FAILED: $(cat "$log")"
grep -q "^task ${parts}_0 failed: chunk 2 (frames 500 to 749) not made" "$log" || fail "the join's log does not name task ${parts}_0: $(cat "$log")"
grep -q "^removed $killed and its log: the work folder of chunk 2's render in task ${parts}_0, which was killed" "$log" ||
    fail "the join's log does not say it removed what the killed render left: $(cat "$log")"
listing=$(ls -A "$work_b" | tr '\n' ' ')
[ "$listing" = "$chunks_and_notes" ] || fail "after the killed render the work folder holds '$listing'"

# 4. Resumed once more: chunk 2 alone is rendered and the movie joined, nothing left over.
rm -f "$work/freeze/on" "$work/calls"
movie=$work/bin/lumenfold-movie render_slurm "${options[@]}" --tasks 2 --output "$out" --resume \
    >"$work/submit-d.txt" 2>&1 || fail "resuming failed: $(cat "$work/submit-d.txt")"
join=$(job_id join "$work/submit-d.txt")
wait_for "the end of the last join job $join" ended "$join"
[ "$(job_state "$join")" = COMPLETED ] || fail "the last join ended $(job_state "$join"): $(cat "$out".logs/join-"$join".log)"
[ "$(cat "$work/calls")" = "--first-frame 500" ] || fail "the last rerun rendered '$(tr '\n' ' ' <"$work/calls")', not frames 500 to 749 alone"
same_frames "$out" || fail "the resumed movie does not decode to the frames of a single render"
only_movie_and_logs "$out" || fail "left beside the resumed movie: $(ls -A "$(dirname "$out")" | tr '\n' ' ')"
echo "the resumed renders made chunk 2 only and the movie decodes to the single render's frames"

# 5. A stop signal (as a closed terminal, Ctrl-C or kill sends it) while the join is being
# submitted: a stand-in sbatch holds that call until the signal has been sent. The array already
# submitted is cancelled, and so is the join once its sbatch returns; render-slurm ends by the
# signal, says so, and leaves nothing it made. While it is held, a second submission into the same
# work folder is refused.
real_sbatch=$(command -v sbatch)
mkdir -p "$work/held"
cat >"$work/held/sbatch" <<EOF
#!/usr/bin/env bash
case " \$* " in *" --job-name=lumenfold-join "*)
    if mv "$work/hold-join" "$work/holding" 2>/dev/null; then
        while [ ! -e "$work/go" ] && [ -d "$work" ]; do sleep 0.1; done
        [ -e "$work/go" ] || exit 1
    fi ;;
esac
exec "$real_sbatch" "\$@"
EOF
chmod +x "$work/held/sbatch"
for signal in INT TERM HUP; do
    rm -f "$work/holding" "$work/go"
    touch "$work/hold-join"
    out=$work/stop-$signal/movie.mp4
    # In a process group of its own with the signals' default handling, as a shell starts a
    # command (a script's background job would ignore INT).
    PATH=$work/held:$PATH LUMENFOLD_MOVIE=$movie_program env --default-signal=INT,TERM,HUP setsid \
        cluster/render-slurm "${options[@]}" --output "$out" -- --hold >"$work/submit-$signal.txt" 2>&1 &
    pid=$!
    wait_for "render-slurm submitting the join" test -e "$work/holding"
    if [ "$signal" = INT ]; then
        render_slurm "${options[@]}" --output "$out" --resume >"$work/submit-meanwhile.txt" 2>&1 &&
            fail "a submission went ahead in a work folder another one was being made in: $(cat "$work/submit-meanwhile.txt")"
        grep -q "^render-slurm: another submission into $out.parts is being made right now" "$work/submit-meanwhile.txt" ||
            fail "the submission meanwhile was refused saying: $(cat "$work/submit-meanwhile.txt")"
    fi
    kill -s "$signal" -- -"$pid"
    touch "$work/go"
    finish
    said=$(cat "$work/submit-$signal.txt")
    [ "$status" = $((128 + $(kill -l "$signal"))) ] || fail "stopped by SIG$signal, render-slurm ended with status $status: $said"
    cancelled="^render-slurm: stopped by SIG$signal: the parts (job array \([0-9]*\)) and the join (job \([0-9]*\)) cancelled$"
    parts=$(sed -n "s/$cancelled/\1/p" <<<"$said") join=$(sed -n "s/$cancelled/\2/p" <<<"$said")
    [ -n "$parts" ] && [ -n "$join" ] || fail "stopped by SIG$signal, render-slurm said: $said"
    for job in "$parts" "$join"; do
        wait_for "the end of job $job after SIG$signal" ended "$job"
        [ "$(job_state "$job")" = CANCELLED ] || fail "job $job is $(job_state "$job") after SIG$signal, not CANCELLED"
    done
    [ ! -e "$work/stop-$signal" ] || fail "stopped by SIG$signal, render-slurm left $(find "$work/stop-$signal" | tr '\n' ' ')"
done
no_job_queued || fail "jobs are left in the queue: $(squeue -h)"
echo "a stop signal between the two submissions cancels both, for INT, TERM and HUP"
