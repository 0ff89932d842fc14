#!/usr/bin/env bash
# One task of render-slurm's job array: renders the chunks the work folder's plan gives it and the
# folder does not hold yet, each as a small movie made by lumenfold-movie. The program puts a
# chunk in place under its name only once it is complete, so a chunk that is there is finished
# and is kept.
#   slurm-task.sh PROGRAM WORK "OPTIONS"
# The task is the one numbered by SLURM_ARRAY_TASK_ID; its chunks are the lines of WORK/render-plan
# that start with that number (the rest of a line: INDEX FIRST LAST NAME, as lumenfold-movie
# --list-chunks says a chunk).
set -uo pipefail
movie=$1 work=$2 options=$3
task=${SLURM_ARRAY_TASK_ID:?this runs as a task of a Slurm job array}
mapfile -t plan <"$work/render-plan" || { echo "task $task: cannot read $work/render-plan"; exit 1; }
mine=()
for line in "${plan[@]}"; do
    [ "${line%% *}" = "$task" ] && mine+=("${line#* }")
done
[ ${#mine[@]} -gt 0 ] || { echo "task $task: $work/render-plan gives it no chunk"; exit 1; }
echo "task $task on $(hostname -s): chunks $(for chunk in "${mine[@]}"; do echo -n "${chunk%% *} "; done)"
for chunk in "${mine[@]}"; do
    read -r index first last name <<<"$chunk"
    file=$work/$name
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
