#!/usr/bin/env bash
# The Windows program under Wine, against the Linux program: the picture at 84 s (s saves it
# into screenshots/ in the working folder, next to a user's file of that name, not over it) and at scene 5 (key 5) against show_frames' pictures (at least 99 %
# of the pixels within 24/255), h's help, m's notice, p's pause, a's restart, the soundtrack's position
# following the jumps (read back through the sound device's own position), q's exit status;
# a show without a sound device; --version, --help and bad options as the Linux program says them.
# The program's mode, show time and sound position come from its report file (LUMENFOLD_REPORT,
# as on Linux: Wine may not pass a GUI program's output on).
#   wine_show.sh BUILD/windows WINEPREFIX SHOW_FRAMES LINUX_LUMENFOLD
windows_dir=${1:?usage: wine_show.sh BUILD/windows WINEPREFIX SHOW_FRAMES LINUX_LUMENFOLD}
prefix=${2:?} show_frames=${3:?} linux=${4:?}
. "$(dirname "$0")/../e2e/lib.sh"
. "$(dirname "$0")/lib.sh"
windows_setup "$windows_dir" "$prefix"
root=$PWD
# The scenes' starts, from the show's own table.
starts=($(sed -n 's/.*kSceneStarts\[kSceneCount\] = {\(.*\)};.*/\1/p' basicsource/scene.h | tr -d ,))
[ "${#starts[@]}" -ge 5 ] || fail "no scene starts in basicsource/scene.h"
scene4=${starts[3]} scene5=${starts[4]}

# ---- The messages, through files (Wine may not pass a GUI program's output to a pipe).
expect_same() { # NAME STATUS ARGS...: the Windows program says what the Linux one says
    local name=$1 expected_status=$2
    shift 2
    wine_run "$name" "$@"
    [ "$status" = "$expected_status" ] || fail "$*: exit status $status, not $expected_status"
    "$linux" "$@" >"$work/$name.linux.out" 2>"$work/$name.linux.err"
    cmp -s "$work/$name.out" "$work/$name.linux.out" || fail "$*: printed '$(head -c 200 "$work/$name.out")'"
    cmp -s "$work/$name.err" "$work/$name.linux.err" || fail "$*: said '$(head -c 200 "$work/$name.err")'"
}
expect_same version 0 --version
expect_same help 0 --help
expect_same bad_start 2 --start x
expect_same bad_option 2 --frobnicate
echo "--version, --help and two bad options: the same words and statuses as on Linux"

# ---- The show, from the working folder $work (screenshots/ goes there; the data beside the .exe).
cd "$work"
bin=wine
bin_args=("$exe" --start 84 --paused)
report_path=$(timeout "$wait_limit" winepath -w "$report" 2>/dev/null) || fail "winepath did not name $report"
start LUMENFOLD_REPORT="$report_path"
# lit NAME: screenshot NAME shows something (Wine may map the window black a while before the
# first frame is in it).
lit() { shot "$1" && [ "$(brightest "$1" 720x576+0+0)" -gt 0 ]; }
wait_for "the program paused at 84 s" reports_paused_at 84
wait_for "the paused picture at 84 s in the window" lit start

# saved NAME: true when key s's picture screenshots/lumenfold-NAME.png is there.
saved() { [ -s "$work/screenshots/lumenfold-$1.png" ]; }
# like_linux SECONDS [FILE]: s's picture of that moment (in FILE, by default the moment's own
# name) against show_frames' at the same moment.
like_linux() {
    mkdir -p "$work/frames"
    (cd "$root" && "$show_frames" "$work/frames" "$1" >/dev/null 2>&1) || fail "show_frames made no picture of $1 s"
    local ours=$work/screenshots/${2:-lumenfold-$(printf '%06.2f' "$1")s.png}
    local reference=$work/frames/frame-$(printf '%06.2f' "$1").png
    [ "$(identify -format %wx%h "$ours")" = "$(identify -format %wx%h "$reference")" ] ||
        fail "the screenshot of $1 s is $(identify -format %wx%h "$ours"), show_frames' picture $(identify -format %wx%h "$reference")"
    local measured share off
    measured=$(match_share "$ours" "$reference") || fail "the pictures of $1 s could not be compared"
    read -r share off <<<"$measured"
    echo "at $1 s: $share of the pixels within 24/255 of show_frames' picture ($off pixels not)"
    awk -v s="$share" 'BEGIN { exit !(s >= 0.99) }' || fail "at $1 s only $share of the pixels match"
}
# A file of the user's already has the first name: it stays, and the picture takes the next.
mkdir -p "$work/screenshots"
echo "the user's own" >"$work/screenshots/lumenfold-084.00s.png"
key s
wait_for "screenshots/lumenfold-084.00s-2.png after s" saved 084.00s-2
[ "$(cat "$work/screenshots/lumenfold-084.00s.png")" = "the user's own" ] || fail "s replaced the user's file"
like_linux 84 lumenfold-084.00s-2.png

key h
wait_for "the help after h" changed start help
key h
wait_for "the picture without the help after a second h" same_as nohelp start

# Key m: no movie is made on Windows; a notice says where movies come from (drawn over the
# bottom rows), the show stays paused and no movie folder appears.
key m
notice_shown() { shot notice && [ "$(differing_in 720x40+0+536 start notice)" -gt 0 ]; }
wait_for "the notice after m" notice_shown
[ ! -e "$work/movie" ] || fail "key m made $work/movie"
[ "$(differing_in 720x500+0+0 start notice)" = 0 ] || fail "the picture moved after m"

# Key 5 jumps to scene 5, still paused.
key 5
wait_for "the program paused at scene 5 ($scene5 s) after 5" reports_paused_at "$scene5"
shot scene5
key s
wait_for "the screenshot of scene 5 ($scene5 s) after 5 and s" saved "$(printf '%06.2f' "$scene5")s"
like_linux "$scene5"

# heard_between LOW HIGH: the sound device's position (the program's own reading) in [LOW, HIGH).
heard_between() {
    heard=$(report_field heard)
    [ -n "$heard" ] && awk -v h="$heard" -v l="$1" -v u="$2" 'BEGIN { exit !(h >= l && h < u) }'
}
key p
wait_for "the picture moving after p" changed scene5 playing
wait_for "the sound heard from scene 5 ($scene5 s) on after p" heard_between "$scene5" "${starts[5]}"
key p
wait_for "the program paused after a second p" reports_mode paused
shot paused
still_while_paused paused

key a
wait_for "the picture moving after a" changed paused restarted
wait_for "the sound heard from the start after a" heard_between 0 "$scene4"
key 4
wait_for "the sound following the jump to scene 4 ($scene4 s)" heard_between "$scene4" "$scene5"

key q
finish
[ "$status" = 0 ] || fail "exit status $status after q, not 0"
echo "keys s, h, m, 5, p, a, 4 and q as on Linux; the sound followed 5, a and 4"

# ---- No sound device: the show plays silently, saying so in one line.
printf 'pcm.!default {\n  type hw\n  card 99\n}\n' >"$work/asound-none.conf"
bin_args=("$exe" --start 20)
start ALSA_CONFIG_PATH=/usr/share/alsa/alsa.conf:$work/asound-none.conf LUMENFOLD_REPORT="$report_path"
wait_for "the show playing without a sound device" reports_mode playing
wait_for "a picture in the window without a sound device" lit silent1
key a
wait_for "the show restarted from 0 s without a sound device" reports_before 20
wait_for "the picture moving without a sound device" changed silent1 silent2
key q
finish
[ "$status" = 0 ] || fail "exit status $status after q without a sound device, not 0"
said=$(grep -c '^lumenfold: no sound device' "$work/stderr")
[ "$said" = 1 ] || fail "without a sound device the program said so $said times, not once"
echo "PASS: the Windows program under Wine draws, plays and speaks as the Linux program does"
