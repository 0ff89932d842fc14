#!/usr/bin/env bash
# tools/with-xvfb passes a stop on to its command: TERM or INT sent to it reach every process of
# the command, the X server stays until the command has ended (a command never loses its
# display while it cleans up), the command's exit status is the script's, and no process of
# either is left.
. "$(dirname "$0")/lib.sh"
cat >"$work/command" <<'SCRIPT'
#!/usr/bin/env bash
# Reports each signal, and whether its display still answers, once a moment has passed.
on() {
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
for signal in TERM INT; do
    out=$work/$signal.out
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
    kill -s "$signal" "$pid"
    finish
    [ "$status" = 3 ] || fail "with-xvfb ended with status $status after $signal, not the command's 3"
    [ "$(cat "$out" 2>/dev/null)" = "$signal with a display" ] ||
        fail "after $signal the command said: $(cat "$out" 2>/dev/null)"
    kill -0 "$child" 2>/dev/null && fail "the command's own child went on running after $signal"
    # The command's server is the one started with its cookie file.
    server_gone() { ! pgrep -f -- "-auth $xauthority" >/dev/null; }
    wait_for "the X server of the command ending" server_gone
done
echo "PASS: TERM and INT reach the command and its children, the display outlives it, its status is kept"
