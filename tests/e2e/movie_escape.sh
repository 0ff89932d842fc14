#!/usr/bin/env bash
# Key m's render interrupted by Escape at a random moment, ten times: each time the program ends
# with status 0, the previous movie is intact and nothing partial is left.
#   movie_escape.sh path/to/lumenfold [TIMES]
bin=${1:?usage: movie_escape.sh path/to/lumenfold [TIMES]}
times=${MOVIE_ESCAPES:-10}
. "$(dirname "$0")/lib.sh"
show=$work/show
mkdir -p "$show/movie"
ln -s "$PWD/resources" "$show/resources"
echo "the previous movie" >"$show/movie/lumenfold.mp4"
cd "$show"
for round in $(seq "$times"); do
    start
    key m
    # Somewhere between the start of the render and about three seconds in.
    sleep "0.$((RANDOM % 10))"
    sleep $((RANDOM % 3))
    key Escape
    finish
    [ "$status" = 0 ] || fail "round $round: exit status $status after Escape"
    [ "$(cat movie/lumenfold.mp4)" = "the previous movie" ] || fail "round $round: the previous movie changed"
    [ "$(ls -A movie)" = lumenfold.mp4 ] || fail "round $round: left behind: $(ls -A movie)"
done
echo "PASS: $times renders cancelled, the previous movie intact each time"
