#!/usr/bin/env bash
# cluster/render-slurm on a real one-node Slurm cluster started here: the joined movie decodes to
# the frames of a single render and leaves nothing in the work folder; a task cancelled in the
# middle of a chunk fails the join, which names it, and a rerun with --resume renders only the
# chunk that is missing, leaving the others untouched.
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

# 10 s to 30 s is frames 250 to 750: chunks 1 (250-499), 2 (500-749) and 3 (750 alone); two
# tasks take chunks 1-2 and 3.
options=(--from 10 --to 30 --size 64x48 --aa 1 --crf 23 --fps 25)
"$movie_program" "${options[@]}" --jobs 1 --output "$work/single.mp4" 2>"$work/single.log" ||
    fail "the single render failed: $(tail -3 "$work/single.log")"
frames() { ffmpeg -v error -i "$1" -f framemd5 - | grep -v '^#'; }
frames "$work/single.mp4" >"$work/single.md5"

cluster_start

# An output the join would refuse at the end (a symbolic link) is refused before anything is
# submitted (to this cluster, should the check be missing), and nothing is made beside it.
mkdir -p "$work/link"
echo "a user's movie" >"$work/link/real.mp4"
ln -s real.mp4 "$work/link/movie.mp4"
LUMENFOLD_MOVIE=$movie_program cluster/render-slurm "${options[@]}" --output "$work/link/movie.mp4" \
    >"$work/submit-link.txt" 2>&1
[ $? = 2 ] || fail "an output that is a symbolic link was not refused: $(cat "$work/submit-link.txt")"
grep -q "movie.mp4 is a symbolic link" "$work/submit-link.txt" || fail "the refusal said: $(cat "$work/submit-link.txt")"
[ "$(ls -A "$work/link" | tr '\n' ' ')" = "movie.mp4 real.mp4 " ] || fail "beside the refused output: $(ls -A "$work/link")"

# job_state ID: the job's state as slurmctld keeps it (finished jobs stay for MinJobAge).
job_state() { scontrol -o show job "$1" 2>/dev/null | sed -n 's/.*JobState=\([A-Z_]*\).*/\1/p'; }
ended() { case $(job_state "$1") in COMPLETED | FAILED | CANCELLED | TIMEOUT | NODE_FAIL | OUT_OF_MEMORY) true ;; *) false ;; esac; }
job_id() { sed -n "s/^$1: job[a-z ]* \([0-9]*\).*/\1/p" "$2"; }
same_frames() { [ -s "$1" ] && cmp -s <(frames "$1") "$work/single.md5"; }
# Nothing but the movie and the logs folder beside it: no work folder, no hidden leftover.
only_movie_and_logs() { [ "$(ls -A "$(dirname "$1")")" = "$(basename "$1")"$'\n'"$(basename "$1").logs" ]; }

# 1. A whole render: two tasks and the join.
out=$work/a/movie.mp4
started=$SECONDS
LUMENFOLD_MOVIE=$movie_program cluster/render-slurm "${options[@]}" --tasks 2 --output "$out" \
    >"$work/submit-a.txt" 2>&1 || fail "submitting failed: $(cat "$work/submit-a.txt")"
join=$(job_id join "$work/submit-a.txt")
[ -n "$join" ] || fail "the submission did not say the join's job id: $(cat "$work/submit-a.txt")"
grep -q "^movie: $out$" "$work/submit-a.txt" || fail "the submission did not say where the movie goes"
wait_for "the end of the join job $join" ended "$join"
[ "$(job_state "$join")" = COMPLETED ] || fail "the join ended $(job_state "$join"): $(cat "$out".logs/join-*.log)"
echo "two tasks and the join took $((SECONDS - started)) s"
same_frames "$out" || fail "the joined movie does not decode to the frames of a single render"
only_movie_and_logs "$out" || fail "left beside the movie: $(ls -A "$(dirname "$out")" | tr '\n' ' ')"

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
LUMENFOLD_MOVIE=$work/bin/lumenfold-movie cluster/render-slurm "${options[@]}" --tasks 2 --output "$out" \
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
listing=$(ls -A "$work_b" | tr '\n' ' ')
[ "$listing" = "chunk-000001.mp4 chunk-000003.mp4 render-settings " ] ||
    fail "after the cancel the work folder holds '$listing', not the two finished chunks and the settings"
[ ! -e "$out" ] || fail "a movie was made although a task failed"
LUMENFOLD_MOVIE=$movie_program cluster/render-slurm "${options[@]}" --tasks 2 --output "$out" \
    >"$work/submit-again.txt" 2>&1 && fail "a new render over the unfinished one's chunks was submitted"
grep -q -- "--resume" "$work/submit-again.txt" || fail "the refusal does not point to --resume: $(cat "$work/submit-again.txt")"
LUMENFOLD_MOVIE=$movie_program cluster/render-slurm "${options[@]}" --crf 30 --tasks 2 --output "$out" --resume \
    >"$work/submit-other.txt" 2>&1 && fail "a resume with another quality over the chunks made was submitted"
grep -q "made with other settings" "$work/submit-other.txt" || fail "the refusal does not say the settings differ: $(cat "$work/submit-other.txt")"

# 3. The rerun: only chunk 2 is rendered; chunks 1 and 3 stay the very files they were. Both jobs
# are held (Slurm's own --hold, passed through) so the chunks can be looked at before the join.
kept_before=$(stat -c '%i %Y' "$work_b/chunk-000001.mp4" "$work_b/chunk-000003.mp4")
rm -f "$work/freeze/on" "$work/calls"
LUMENFOLD_MOVIE=$work/bin/lumenfold-movie cluster/render-slurm "${options[@]}" --tasks 2 --output "$out" \
    --resume -- --hold >"$work/submit-c.txt" 2>&1 || fail "resuming failed: $(cat "$work/submit-c.txt")"
parts=$(job_id parts "$work/submit-c.txt") join=$(job_id join "$work/submit-c.txt")
grep -q "^parts: job array $parts, tasks 0 of 2" "$work/submit-c.txt" ||
    fail "the rerun did not submit task 0 alone: $(cat "$work/submit-c.txt")"
grep -q "^task 1 (chunks 3:750:750): every chunk is already made, not submitted" "$work/submit-c.txt" ||
    fail "the rerun did not say task 1 was not needed: $(cat "$work/submit-c.txt")"
scontrol release "$parts" || fail "the rerun's parts could not be released"
wait_for "the end of the rerun's task ${parts}_0" ended "${parts}_0"
[ "$(cat "$work/calls")" = "--first-frame 500" ] || fail "the rerun rendered '$(tr '\n' ' ' <"$work/calls")', not frames 500 to 749 alone"
[ "$(stat -c '%i %Y' "$work_b/chunk-000001.mp4" "$work_b/chunk-000003.mp4")" = "$kept_before" ] ||
    fail "the rerun replaced chunks that were already made"
log=$out.logs/part-${parts}_0.log
grep -q "chunk 1 (frames 250 to 499): kept, made by an earlier run" "$log" || fail "task 0's log does not say chunk 1 was kept: $(cat "$log")"
grep -q "chunk 2 (frames 500 to 749): rendering" "$log" || fail "task 0's log does not say chunk 2 was rendered: $(cat "$log")"
scontrol release "$join" || fail "the rerun's join could not be released"
wait_for "the end of the rerun's join job $join" ended "$join"
[ "$(job_state "$join")" = COMPLETED ] || fail "the rerun's join ended $(job_state "$join"): $(cat "$out".logs/join-"$join".log)"
same_frames "$out" || fail "the resumed movie does not decode to the frames of a single render"
only_movie_and_logs "$out" || fail "left beside the resumed movie: $(ls -A "$(dirname "$out")" | tr '\n' ' ')"
echo "the resumed render made chunk 2 only and decodes to the single render's frames"
