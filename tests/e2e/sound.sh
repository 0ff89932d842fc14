#!/usr/bin/env bash
# The soundtrack reaches the sound device after a, through SDL's disk driver (which writes what
# it plays to a file in real time), and only silence is written while the show is paused.
bin=${1:?usage: sound.sh path/to/lumenfold}
find_bytes=${2:?usage: sound.sh path/to/lumenfold path/to/find_bytes}
. "$(dirname "$0")/lib.sh"
[ -s resources/Sonavel.wav ] || fail "resources/Sonavel.wav is missing: the build makes it"
start SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/played.raw"
key a
# Half a second into the music (the 44-byte header, then 176400 bytes a second).
offset=$((44 + 88200))
for _ in $(seq 100); do
    "$find_bytes" contains resources/Sonavel.wav "$offset" 512 "$work/played.raw" >/dev/null && break
    sleep 0.1
done
"$find_bytes" contains resources/Sonavel.wav "$offset" 512 "$work/played.raw" >/dev/null ||
    fail "the soundtrack's samples never reached the device"

key p
sleep 0.5
paused_at=$(stat -c %s "$work/played.raw")
sleep 1.5
"$find_bytes" zeros "$work/played.raw" "$paused_at" || fail "sound was written while paused"
key p
sleep 1
resumed_at=$(stat -c %s "$work/played.raw")
sleep 1
"$find_bytes" zeros "$work/played.raw" "$resumed_at" && fail "no sound after resuming"

key q
finish
[ "$status" = 0 ] || fail "exit status $status after q, not 0"
echo "PASS: the soundtrack plays after a, is silent while paused, and resumes"
