#!/usr/bin/env bash
# The soundtrack reaches the sound device after a, through SDL's disk driver (which writes what
# it plays to a file in real time), and only silence is written while the show is paused.
bin=${1:?usage: sound.sh path/to/lumenfold}
find_bytes=${2:?usage: sound.sh path/to/lumenfold path/to/find_bytes}
. "$(dirname "$0")/lib.sh"
listen_through "$work/played.raw"
start SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$played"
key a
# The music from five seconds into it on: the picture's clock runs from the key, and on a busy
# machine the sound may start late, moved to where the picture is by then, so the very first
# moments of the music may never be played.
wait_for "the soundtrack's samples from 5 s on reaching the device after a" sound_reached 5

silent_from=$(played_bytes)
key p
wait_for "silence on the device after p" went_silent
# Paused: the device goes on writing; a whole second more of it must be silence.
wait_for "a second more of the device's output while paused" played_past $((silent_from + sound_rate))
"$find_bytes" zeros "$played" "$silent_from" || fail "sound was written while paused"
reports_mode paused || fail "the program reported $(report_field mode), not paused, after p"
resumed_at=$(played_bytes)
key p
wait_for "sound on the device again after the second p" sounding_after "$resumed_at"

key q
finish
[ "$status" = 0 ] || fail "exit status $status after q, not 0"
echo "PASS: the soundtrack plays after a, is silent while paused, and resumes"
