#!/usr/bin/env bash
# One task of render-slurm's job array: renders the chunks of its run that the work folder does
# not hold yet, each as a small movie made by lumenfold-movie. The program puts a chunk in place
# under its name only once it is complete, so a chunk that is there is finished and is kept.
#   slurm-task.sh PROGRAM WORK "OPTIONS" RUN0 RUN1 ...   (a run: index:first:last,...)
# The task's run is the one numbered by SLURM_ARRAY_TASK_ID.
set -uo pipefail
movie=$1 work=$2 options=$3
shift 3
task=${SLURM_ARRAY_TASK_ID:?this runs as a task of a Slurm job array}
runs=("$@")
[ "$task" -lt ${#runs[@]} ] || { echo "task $task: no such run (there are ${#runs[@]})"; exit 1; }
IFS=, read -ra chunks <<<"${runs[task]}"
echo "task $task on $(hostname -s): chunks ${runs[task]//,/ }"
for chunk in "${chunks[@]}"; do
    IFS=: read -r index first last <<<"$chunk"
    file=$(printf '%s/chunk-%06d.mp4' "$work" "$index")
    if [ -e "$file" ]; then
        echo "chunk $index (frames $first to $last): kept, made by an earlier run"
        continue
    fi
    echo "chunk $index (frames $first to $last): rendering"
    # shellcheck disable=SC2086 # the options are words without spaces: numbers and sizes
    "$movie" $options --first-frame "$first" --last-frame "$last" --jobs 1 --output "$file" || {
        echo "chunk $index (frames $first to $last): lumenfold-movie failed (status $?)"
        exit 1
    }
done
echo "task $task: done"
