#!/usr/bin/env bash
# tools/left-behind, the test command's last word: a process carrying the run's mark that is still
# there after the grace fails the run and is named and killed; one that ends within the grace, or
# carries another run's mark, is no fault of this run and is left alone.
. "$(dirname "$0")/lib.sh"
tool=$(cd "$(dirname "$0")/../.." && pwd)/tools/left-behind
mark=test-$$-$RANDOM

# detached MARK SECONDS: a sleep carrying MARK, not this script's child (so it is reaped when
# killed); prints its pid.
detached() {
    (LUMENFOLD_TEST_RUN=$1 sleep "$2" >/dev/null 2>&1 &
        echo $!)
}
check() { env -u LUMENFOLD_TEST_RUN "$tool" "$mark" >"$work/$1.out" 2>&1; }

stays=$(detached "$mark" 300)
others=$(detached "other-$mark" 300)
extra_pids+=("$stays" "$others")
check stays
status=$?
[ "$status" = 1 ] || fail "a marked process still running: status $status, not 1: $(cat "$work/stays.out")"
grep -q "^ *$stays .*sleep 300" "$work/stays.out" || fail "the process left is not named: $(cat "$work/stays.out")"
wait_for "the process left behind killed" eval "! kill -0 $stays 2>/dev/null"
grep -q "^ *$others " "$work/stays.out" && fail "another run's process was named: $(cat "$work/stays.out")"
kill -0 "$others" 2>/dev/null || fail "another run's process was killed"

detached "$mark" 3 >/dev/null
check ends || fail "a marked process that ended within the grace failed the run: $(cat "$work/ends.out")"
kill -0 "$others" 2>/dev/null || fail "another run's process was killed"
echo "PASS"
