#!/usr/bin/env bash
# render-slurm's join job, run once every task of the array has ended (however it ended): when
# every chunk is in the work folder it joins them into the movie and empties the folder; when
# some are missing it names the tasks that did not make them and fails, keeping the chunks made
# so that `render-slurm ... --resume` renders only the missing ones.
#   slurm-join.sh PROGRAM WORK OUTPUT ARRAY-JOB LOGS RUN0 RUN1 ...   (a run: index:first:last,...)
set -uo pipefail
movie=$1 work=$2 output=$3 array=$4 logs=$5
shift 5
runs=("$@")
parts=()
failed=0
for ((task = 0; task < ${#runs[@]}; task++)); do
    missing=()
    IFS=, read -ra chunks <<<"${runs[task]}"
    for chunk in "${chunks[@]}"; do
        IFS=: read -r index first last <<<"$chunk"
        file=$(printf '%s/chunk-%06d.mp4' "$work" "$index")
        parts+=("$file")
        [ -e "$file" ] || missing+=("$index (frames $first to $last)")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        failed=$((failed + 1))
        echo "task ${array}_$task failed: chunk$([ ${#missing[@]} -gt 1 ] && echo s) ${missing[*]} not made; its log: $logs/part-${array}_$task.log"
    fi
done
if [ "$failed" -gt 0 ]; then
    echo "the movie is not joined; the chunks made are kept in $work: submit again with --resume to render only the missing ones"
    exit 1
fi
"$movie" --join "${parts[@]}" --output "$output" || {
    echo "joining the chunks into $output failed; they are kept in $work"
    exit 1
}
# Only what render-slurm made goes: the chunks and its note of the settings.
rm -f "${parts[@]}" "$work/render-settings"
rmdir "$work" 2>/dev/null ||
    echo "$work is kept: it holds files render-slurm did not make ($(ls -A "$work" | head -5 | tr '\n' ' '))"
echo "the movie is in $output"
