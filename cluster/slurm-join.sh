#!/usr/bin/env bash
# render-slurm's join job, run once every task of the array has ended (however it ended): when
# every chunk of the work folder's plan is there it joins them into the movie and empties the
# folder; when some are missing it names the tasks that did not make them and fails, keeping the
# chunks made so that `render-slurm ... --resume` renders only the missing ones. Either way, what
# a task's render left when it was killed outright (its hidden work folder and log) is removed.
#   slurm-join.sh PROGRAM WORK OUTPUT ARRAY-JOB LOGS [COMMAND]
# COMMAND: render-slurm as the user called it, for the messages.
# WORK/render-plan: one line a chunk, TASK INDEX FIRST LAST NAME (see render-slurm).
set -uo pipefail
movie=$1 work=$2 output=$3 array=$4 logs=$5 command=${6:-render-slurm}
mapfile -t plan <"$work/render-plan" || { echo "cannot read $work/render-plan"; exit 1; }

# A chunk's render killed with KILL (Slurm's end of a task that outlived KillWait) leaves the
# hidden folder it worked in and its log, ".NAME.XXXXXX" and ".NAME.XXXXXX.log". Every task has
# ended, so only one still locked by a running program is kept.
for line in "${plan[@]}"; do
    read -r task index _ _ name <<<"$line"
    for left in "$work/.$name".??????; do
        [ -d "$left" ] || continue
        if flock -n "$left" true; then
            rm -rf -- "$left" "$left.log"
            echo "removed $left and its log: the work folder of chunk $index's render in task ${array}_$task, which was killed before it could remove them"
        else
            echo "$left is kept: a running program uses it"
        fi
    done
done

parts=()
declare -A missing=() count=() # by task: its chunks not made, and how many
for line in "${plan[@]}"; do
    read -r task index first last name <<<"$line"
    parts+=("$work/$name")
    [ -e "$work/$name" ] && continue
    missing[$task]+="${missing[$task]:+ }$index (frames $first to $last)"
    count[$task]=$((${count[$task]:-0} + 1))
done
failed=${#missing[@]}
for task in $(printf '%s\n' "${!missing[@]}" | sort -n); do
    # A task cancelled while it waited never ran, and has no log.
    log=$logs/part-${array}_$task.log
    if [ -e "$log" ]; then why="its log: $log"; else why="it never started (it has no log)"; fi
    echo "task ${array}_$task failed: chunk$([ "${count[$task]}" -gt 1 ] && echo s) ${missing[$task]} not made; $why"
done
if [ "$failed" -gt 0 ]; then
    echo "the movie is not joined; the chunks made are kept in $work: submit again with $command --resume to render only the missing ones"
    exit 1
fi
"$movie" --join "${parts[@]}" --output "$output" || {
    echo "joining the chunks into $output failed; they are kept in $work"
    exit 1
}
# Only what render-slurm made goes: the chunks and its own notes.
rm -f "${parts[@]}" "$work/render-settings" "$work/render-plan" "$work/render-jobs"
rmdir "$work" 2>/dev/null ||
    echo "$work is kept: it holds files $command did not make ($(ls -A "$work" | head -5 | tr '\n' ' '))"
echo "the movie is in $output"
