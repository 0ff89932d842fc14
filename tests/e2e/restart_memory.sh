#!/usr/bin/env bash
# Restarting the show with a, fifty times a second apart, does not make the program grow: its
# resident memory after the last restart is within a few hundred kilobytes of what it was after
# the first few.
#   restart_memory.sh path/to/lumenfold [RESTARTS]
bin=${1:?usage: restart_memory.sh path/to/lumenfold [RESTARTS]}
restarts=${RESTARTS:-50}
limit_kb=${RSS_GROWTH_LIMIT_KB:-512}
. "$(dirname "$0")/lib.sh"
# Under AddressSanitizer freed memory waits in a quarantine, so resident memory grows by design.
if ldd "$bin" | grep -q libasan; then
    echo "SKIP: a sanitizer build holds freed memory back; the normal build runs this test"
    exit 77
fi
rss() { awk '/^VmRSS:/ {print $2}' "/proc/$pid/status"; }
start
for round in $(seq "$restarts"); do
    key a
    sleep 1
    [ "$round" = 5 ] && settled=$(rss)
done
final=$(rss)
key q
finish
[ "$status" = 0 ] || fail "exit status $status after q"
growth=$((final - settled))
echo "resident memory after 5 restarts: $settled kB, after $restarts: $final kB, growth $growth kB"
[ "$growth" -le "$limit_kb" ] || fail "memory grew by $growth kB over $restarts restarts"
echo "PASS: no growth beyond $limit_kb kB over $restarts restarts"
