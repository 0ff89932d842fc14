#!/usr/bin/env bash
# The soundtrack reaches the sound device after a, through SDL's disk driver (which writes what
# it plays to a file in real time), and only silence is written while the show is paused.
bin=${1:?usage: sound.sh path/to/lumenfold}
find_bytes=${2:?usage: sound.sh path/to/lumenfold path/to/find_bytes}
. "$(dirname "$0")/lib.sh"
[ -s resources/Sonavel.wav ] || fail "resources/Sonavel.wav is missing: the build makes it"
played=$work/played.raw
start SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$played"
key a
# Five seconds into the music (the 44-byte header, then 176400 bytes a second): the picture's
# clock runs from the key, and on a busy machine the sound may start late, moved to where the
# picture is by then, so the very first moments of the music may never be played.
offset=$((44 + 5 * 176400))
reached() { "$find_bytes" contains resources/Sonavel.wav "$offset" 512 "$played" >/dev/null; }
wait_for "the soundtrack's samples reaching the device after a" reached

size() { stat -c %s "$played"; }
# Only silence from some point on; sets paused_at to that point.
gone_silent() { paused_at=$(size) && sleep 0.5 && "$find_bytes" zeros "$played" "$paused_at"; }
# Something other than silence written after resumed_at.
sounding() { [ "$(size)" -gt "$resumed_at" ] && ! "$find_bytes" zeros "$played" "$resumed_at"; }

key p
wait_for "silence on the device after p" gone_silent
sleep 1.5
"$find_bytes" zeros "$played" "$paused_at" || fail "sound was written while paused"
resumed_at=$(size)
key p
wait_for "sound on the device again after the second p" sounding

key q
finish
[ "$status" = 0 ] || fail "exit status $status after q, not 0"
echo "PASS: the soundtrack plays after a, is silent while paused, and resumes"
