#!/usr/bin/env bash
# A storm on the real program: for SECONDS (default 20) every listed key but m, unlisted keys,
# arrow keys and window resizes down to 1 x 1, in a random order from SEED, with a often; the
# program must live through it, and q must then end it with status 0 (how long that took is
# reported, not judged: speed belongs in the benchmark).
#   storm.sh path/to/lumenfold [SECONDS] [SEED]
bin=${1:?usage: storm.sh path/to/lumenfold [SECONDS] [SEED]}
seconds=${STORM_SECONDS:-20}
seed=${STORM_SEED:-$$}
. "$(dirname "$0")/lib.sh"
echo "storm of $seconds s, seed $seed"
RANDOM=$seed
keys=(p t w l r u d i o f A P Q M T x z 1 9 space BackSpace Tab Left Right Up Down F1 F5 Home
    Page_Up Page_Down Insert)
start
events=0
end=$((SECONDS + seconds))
while [ "$SECONDS" -lt "$end" ]; do
    case $((RANDOM % 10)) in
    0 | 1) key a ;;
    2)
        w=$((RANDOM % 3 == 0 ? 1 : 1 + RANDOM % 1000))
        h=$((RANDOM % 3 == 0 ? 1 : 1 + RANDOM % 800))
        xdotool windowsize "$wid" "$w" "$h" 2>/dev/null
        ;;
    *) key "${keys[RANDOM % ${#keys[@]}]}" ;;
    esac
    events=$((events + 1))
    kill -0 "$pid" 2>/dev/null || fail "the program died after $events events (seed $seed)"
done
xdotool windowsize "$wid" 720 576 2>/dev/null
asked=$(date +%s%N)
key q
finish
took=$((($(date +%s%N) - asked) / 1000000))
[ "$status" = 0 ] || fail "exit status $status after q (seed $seed)"
[ -s "$work/stdout" ] && fail "the program wrote to standard output (seed $seed)"
echo "PASS: $events events in $seconds s, then q ended the program in $took ms"
