#!/usr/bin/env bash
# Broken ground images against the real program: each ends with its message on standard output
# and status 255, or, where the reader accepts the file, the show starts and q ends it with 0.
# Then a missing, empty, truncated and non-WAV soundtrack, and no audio device at all: the show
# starts (a), jumps to the credits (6), both of which load the soundtrack, and plays silently to
# its end (the frozen credits frame); q ends it with 0.
#   bad_inputs.sh LUMENFOLD FIND_BYTES LUMENFOLD_MOVIE MAKE_BAD_INPUTS   (BAD_INPUTS_QUICK=1: images only)
bin=${1:?usage: bad_inputs.sh LUMENFOLD FIND_BYTES LUMENFOLD_MOVIE MAKE_BAD_INPUTS}
maker=${4:?usage: bad_inputs.sh LUMENFOLD FIND_BYTES LUMENFOLD_MOVIE MAKE_BAD_INPUTS}
. "$(dirname "$0")/lib.sh"
here=$PWD
mkdir -p "$work/corpus"
"$maker" "$work/corpus" >"$work/cases" || fail "the corpus could not be made"

# run_in DIR [env...]: the program with DIR as working directory; sets `status`.
run_in() {
    local dir=$1
    shift
    (cd "$dir" && exec env SDL_AUDIODRIVER=dummy "$@" "$bin") >"$work/stdout" 2>"$work/stderr" &
    pid=$!
}

checked=0
while IFS=$'\t' read -r name expected; do
    case_dir=$work/case-$name
    mkdir -p "$case_dir/resources"
    cp "$work/corpus/$name" "$case_dir/resources/ground.bmp"
    # X may give a new window the id of one that is still closing.
    pid=
    wait_for "the window of the case before $name closing" no_window
    run_in "$case_dir"
    if [ "$expected" = ACCEPT ]; then
        wid=$(new_window)
        [ -n "$wid" ] || fail "$name: no window, though the image is acceptable ($(cat "$work/stdout"))"
        key q
        finish
        [ "$status" = 0 ] || fail "$name: exit status $status after q"
    else
        finish
        [ "$status" = 255 ] || fail "$name: exit status $status, not 255"
        [ "$(cat "$work/stdout")" = "$expected" ] || fail "$name: printed '$(cat "$work/stdout")', not '$expected'"
    fi
    checked=$((checked + 1))
done <"$work/cases"

# A directory, and nothing at all, where the image should be.
for what in directory missing; do
    case_dir=$work/case-$what
    mkdir -p "$case_dir/resources"
    [ "$what" = directory ] && mkdir "$case_dir/resources/ground.bmp"
    run_in "$case_dir"
    finish
    [ "$status" = 255 ] || fail "$what: exit status $status, not 255"
    [ "$(cat "$work/stdout")" = "error opening terrain file" ] || fail "$what: printed '$(cat "$work/stdout")'"
    checked=$((checked + 1))
done
echo "$checked broken or odd ground images handled"

[ -n "${BAD_INPUTS_QUICK:-}" ] && { echo "PASS: ground images (the soundtrack cases run in the full mode)"; exit 0; }

# The soundtrack cases play side by side, each in its own folder.
declare -A pids wids
pid=
wait_for "the windows of the image cases closing" no_window
for what in missing empty truncated not-wav no-device; do
    dir=$work/sound-$what
    mkdir -p "$dir/resources"
    ln -s "$here/resources/ground.bmp" "$dir/resources/ground.bmp"
    case $what in
    empty) : >"$dir/resources/Sonavel.wav" ;;
    truncated) head -c 100 "$here/resources/Sonavel.wav" >"$dir/resources/Sonavel.wav" ;;
    not-wav) cp "$here/resources/ground.bmp" "$dir/resources/Sonavel.wav" ;;
    no-device) ln -s "$here/resources/Sonavel.wav" "$dir/resources/Sonavel.wav" ;;
    esac
    driver=dummy
    [ "$what" = no-device ] && driver=no-such-audio-driver
    (cd "$dir" && exec env SDL_AUDIODRIVER=$driver LUMENFOLD_REPORT="$dir/report" "$bin") >"$dir/stdout" 2>"$dir/stderr" &
    pids[$what]=$!
    extra_pids+=("${pids[$what]}")
    wids[$what]=$(new_window "${wids[@]}")
    [ -n "${wids[$what]}" ] || fail "soundtrack $what: no window"
    xdotool key --window "${wids[$what]}" a 6 2>/dev/null
done
# Ten seconds of show after the jump, whatever the load; each program must then report the end,
# with its last frame in the window.
for what in "${!pids[@]}"; do
    pid=${pids[$what]}
    wid=${wids[$what]}
    report=$work/sound-$what/report
    # The five windows overlap; raising one makes the program redraw what was hidden. The credits
    # line stands at the bottom left of the last frame.
    ended_with_credits() {
        reports_mode finished && xdotool windowraise "$wid" 2>/dev/null &&
            shot "$what" && [ "$(brightest "$what" 400x20+0+516)" = 255 ]
    }
    wait_for "soundtrack $what: the end reported, and the last frame with the credits line" ended_with_credits
    key q
    finish
    [ "$status" = 0 ] || fail "soundtrack $what: exit status $status after q"
    [ -s "$work/sound-$what/stdout" ] && fail "soundtrack $what: wrote to standard output"
done
echo "PASS: $checked ground images and 5 soundtrack faults handled"
