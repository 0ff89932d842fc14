#!/usr/bin/env bash
# The Windows program's soundtrack under Wine, in a fresh prefix of its own (in PREFIX_DIR),
# each case in a working folder whose resources\ holds the ground image and the case's
# Sonavel.wav (ALSA's null device stands for the sound card):
# - random bytes, 96 kHz floating point, Microsoft ADPCM, a header naming no channels, a data
#   chunk of no samples, and no file at all: the show plays (the picture moves), and why there
#   is no sound is said once, on standard error and on the status line (read through the test
#   report), though a restarts the show and loads the soundtrack again;
# - 24- and 32-bit PCM play: the sound device's position (the program's own reading) advances
#   through the show, and nothing is said.
# Skipped (77) where Wine is missing or the program was not built.
#   sound.sh BUILD/windows PREFIX_DIR
windows_dir=${1:?usage: sound.sh BUILD/windows PREFIX_DIR}
prefix_dir=${2:?}
. "$(dirname "$0")/../e2e/lib.sh"
. "$(dirname "$0")/lib.sh"
root=$PWD
rm -rf "$prefix_dir"
windows_setup "$windows_dir" "$prefix_dir/prefix"
remove_at_end+=("$prefix_dir")
need_tools ffmpeg python3
soundtrack=$root/resources/Sonavel.wav
[ -s "$soundtrack" ] || fail "$soundtrack is missing: the build makes it"

# make_case NAME: $work/NAME/resources with the ground image and the case's soundtrack.
make_case() {
    local dir=$work/$1/resources
    mkdir -p "$dir"
    cp "$root/resources/ground.bmp" "$dir/"
    local wav=$dir/Sonavel.wav
    case $1 in
    random) head -c 100000 /dev/urandom >"$wav" ;;
    float) ffmpeg -nostdin -v error -t 20 -i "$soundtrack" -ar 96000 -c:a pcm_f32le "$wav" ;;
    adpcm) ffmpeg -nostdin -v error -t 20 -i "$soundtrack" -c:a adpcm_ms "$wav" ;;
    pcm24) ffmpeg -nostdin -v error -i "$soundtrack" -c:a pcm_s24le "$wav" ;;
    pcm32) ffmpeg -nostdin -v error -i "$soundtrack" -c:a pcm_s32le "$wav" ;;
    no-channels | no-samples)
        python3 - "$1" "$wav" <<'PY'
import struct, sys
case, path = sys.argv[1], sys.argv[2]
channels, data = (0, b"\0" * 4000) if case == "no-channels" else (2, b"")
fmt = struct.pack("<HHIIHH", 1, channels, 44100, 44100 * 4, 4, 16)
body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
open(path, "wb").write(b"RIFF" + struct.pack("<I", len(body)) + body)
PY
        ;;
    missing) ;;
    esac
}

report=$work/report
report_windows=$(winepath -w "$report" 2>/dev/null) || fail "winepath did not name $report"
# field NAME: the report's value of NAME (the notice is the rest of the line).
field() {
    if [ "$1" = notice ]; then report_notice; else report_field "$1"; fi
}
# play NAME: the program in the case's folder, from 20 s, playing.
play() {
    rm -f "$report"
    cd "$work/$1" || fail "no folder $work/$1"
    bin=wine
    bin_args=("$exe" --start 20)
    start LUMENFOLD_REPORT="$report_windows"
}
frames_past() { local f; f=$(field frames); [ -n "$f" ] && [ "$f" -gt "$1" ]; }

# case NAME REASON: no sound, said once with REASON, and the show plays.
silent_case() {
    local name=$1 reason=$2
    make_case "$name"
    play "$name"
    notice_is() { [ "$(field notice)" = "No sound: Sonavel.wav $reason" ]; }
    wait_for "$name: the status line saying 'No sound: Sonavel.wav $reason'" notice_is
    wait_for "$name: the show playing (50 frames drawn)" frames_past 50
    # The show again from 0 s, which asks for the soundtrack again; the program takes the keys
    # in order, so it has done so before q ends it.
    key a
    key q
    finish
    [ "$status" = 0 ] || fail "$name: exit status $status after q"
    tr -d '\r' <"$work/stderr" | grep '^lumenfold: ' >"$work/$name.said"
    local path
    path=$(winepath -w "$work/$name/resources/Sonavel.wav" 2>/dev/null)
    [ "$(cat "$work/$name.said")" = "lumenfold: no sound: $path $reason; the show plays silently" ] ||
        fail "$name: the program said: $(cat "$work/$name.said") (once, with its reason, expected)"
    echo "$name: said once: $reason"
}
silent_case random "is not a WAV file"
silent_case float "is not integer PCM (its format is 3)"
silent_case adpcm "is not integer PCM (its format is 2)"
silent_case no-channels "names no channels"
silent_case no-samples "has no samples"
silent_case missing "is missing"

# heard_past SECONDS: the sound device's position is past SECONDS.
heard_past() { local h; h=$(field heard); [ -n "$h" ] && awk -v h="$h" -v s="$1" 'BEGIN { exit !(h > s) }'; }
for name in pcm24 pcm32; do
    make_case "$name"
    play "$name"
    wait_for "$name: the sound heard from 20 s on" heard_past 20
    first=$(field heard)
    wait_for "$name: the sound advancing past $first s" heard_past "$(awk -v h="$first" 'BEGIN { print h + 1 }')"
    key q
    finish
    [ "$status" = 0 ] || fail "$name: exit status $status after q"
    grep -q '^lumenfold: ' "$work/stderr" && fail "$name: the program said: $(grep '^lumenfold: ' "$work/stderr")"
    echo "$name: plays (heard from $first s on)"
done
echo "PASS: six soundtrack faults said once each while the show played; 24- and 32-bit PCM played"
