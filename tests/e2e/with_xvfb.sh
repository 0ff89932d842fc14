#!/usr/bin/env bash
# tools/with-xvfb passes a stop on to its command: TERM or INT sent to it, or to its whole process
# group as a terminal's Ctrl-C is, reach every process of the command, the X server stays until
# the command has ended (a command never loses its display while it cleans up), the command's
# exit status is the script's, and no process of either is left.
. "$(dirname "$0")/lib.sh"
cat >"$work/command" <<'SCRIPT'
#!/usr/bin/env bash
# Reports each signal, and whether its display still answers, once a moment has passed.
on() {
    [ -n "${stopping:-}" ] && return # the signal may come twice: to the group, and passed on
    stopping=1
    sleep 0.5
    if xdpyinfo >/dev/null 2>&1; then echo "$1 with a display"; else echo "$1 without a display"; fi >>"$OUT"
    exit 3
}
trap 'on TERM' TERM
trap 'on INT' INT
# A child that ends on INT like any program (a script's background commands ignore INT). It
# says it has started only once it takes INT, and holds none of the test's output open.
perl -e '$SIG{INT} = "DEFAULT";
    open(my $f, ">", "$ENV{OUT}.started.new") or die; print $f "$$ $ENV{XAUTHORITY}\n"; close $f;
    rename("$ENV{OUT}.started.new", "$ENV{OUT}.started"); sleep 600' >/dev/null 2>&1 </dev/null &
wait
SCRIPT
chmod +x "$work/command"
for round in TERM:script INT:script TERM:group INT:group; do
    signal=${round%:*}
    out=$work/$signal-${round#*:}.out
    rm -f "$out" "$out.started"
    # Started as a job of its own (-m), as from a terminal: without job control a script's
    # background commands ignore INT, and what is ignored on entry a script cannot trap.
    set -m
    OUT=$out tools/with-xvfb "$work/command" &
    pid=$!
    set +m
    started() { [ -s "$out.started" ]; }
    wait_for "the command under with-xvfb starting" started
    read -r child xauthority <"$out.started"
    extra_pids+=("$child")
    if [ "${round#*:}" = group ]; then kill -s "$signal" -- "-$pid"; else kill -s "$signal" "$pid"; fi
    finish
    [ "$status" = 3 ] || fail "with-xvfb ended with status $status after $round, not the command's 3"
    [ "$(cat "$out" 2>/dev/null)" = "$signal with a display" ] ||
        fail "after $round the command said: $(cat "$out" 2>/dev/null)"
    kill -0 "$child" 2>/dev/null && fail "the command's own child went on running after $round"
    # The command's server is the one started with its cookie file.
    server_gone() { ! pgrep -f -- "-auth $xauthority" >/dev/null; }
    wait_for "the X server of the command ending" server_gone
done
echo "PASS: TERM and INT, to the script or its group, reach the command and its children; the display outlives it; its status is kept"
