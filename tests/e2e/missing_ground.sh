#!/usr/bin/env bash
# Without resources/ground.bmp the program says so on standard output and exits with status 255.
bin=${1:?usage: missing_ground.sh path/to/lumenfold}
. "$(dirname "$0")/lib.sh"
mkdir -p "$work/empty/resources"
cd "$work/empty"
timeout "$wait_limit" env SDL_AUDIODRIVER=dummy "$bin" >"$work/stdout" 2>"$work/stderr"
status=$?
[ "$status" = 255 ] || fail "exit status $status, not 255"
[ "$(cat "$work/stdout")" = "error opening terrain file" ] || fail "standard output: $(head -c 200 "$work/stdout")"
echo "PASS: a missing ground image ends the program with its message and status 255"
