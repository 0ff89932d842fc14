# Shared by the Windows program's tests: the program this test run built (the test
# windows.build, into BUILD/windows) and Wine with a private prefix, quiet and without the
# Mono/Gecko prompts. Sourced after tests/e2e/lib.sh; windows_setup ends every Wine process of
# the prefix when the test ends.

# skip WHY: the test cannot run here (status 77), unless this machine can build and run the
# Windows program (LUMENFOLD_WINDOWS_REQUIRED, set by tools/setup test), where that is a failure.
skip() {
    [ -n "${LUMENFOLD_WINDOWS_REQUIRED:-}" ] && fail "$* (this machine must run the Windows tests)"
    echo "SKIP: $*"
    exit 77
}

# Folders of the test's own that go once every process of the prefix has ended.
remove_at_end=()

# end_wine: the test's end. wineserver -k ends the processes the server knows; one that was still
# starting as it went (a service launched at that moment) is not known to it yet and waits for ever
# on a pipe of its own, so any process of the prefix still there after it is killed. -w: the test
# ends only once the wineserver has gone, bounded like every other wait.
end_wine() {
    local status=$? waited pids
    cleanup
    timeout 60 wineserver -k 2>/dev/null
    timeout "$wait_limit" wineserver -w 2>/dev/null
    waited=$?
    pids=$(prefix_processes)
    if [ -n "$pids" ]; then
        echo "note: the wineserver left these behind, killed:"
        ps -o pid=,args= -p "$(echo $pids | tr ' ' ,)"
        kill -KILL $pids 2>/dev/null
    fi
    rm -rf "${remove_at_end[@]}"
    if [ "$waited" = 124 ]; then
        echo "FAIL: the Wine prefix's processes did not end within $wait_limit s"
        exit 1
    fi
    exit "$status"
}

# prefix_processes: the Wine programs (/usr/lib/wine/...) whose environment names this prefix.
prefix_processes() {
    local dir
    for dir in /proc/[0-9]*; do
        case $(readlink "$dir/exe" 2>/dev/null) in */wine/*) ;; *) continue ;; esac
        { tr '\0' '\n' <"$dir/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX"; } 2>/dev/null &&
            echo "${dir#/proc/}"
    done
}

# need_program BUILD/windows: sets windows_dir and exe; skips when this run built no program
# (windows.build said why).
need_program() {
    windows_dir=$1
    exe=$windows_dir/lumenfold.exe
    [ -f "$exe" ] || skip "no $exe: the test windows.build did not build it (it says why)"
}

# need_tools TOOL...: skips unless each is installed (tools/setup test installs them).
need_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || skip "$tool is not installed (tools/setup test installs it)"
    done
}

# windows_setup BUILD/windows PREFIX: the program, and Wine with the prefix PREFIX (made if
# missing; the mouse rests off the window, the sound goes to ALSA's null device).
windows_setup() {
    need_program "$1"
    need_tools wine wineserver
    export WINEPREFIX=$2 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    # ALSA's null device stands for the sound card: Wine's sound goes through ALSA, and a machine
    # without a card would leave the program silent with nothing to read the position from.
    printf 'pcm.!default {\n  type null\n}\n' >"$work/asound.conf"
    export ALSA_CONFIG_PATH=/usr/share/alsa/alsa.conf:$work/asound.conf
    trap end_wine EXIT
    # Windows tells a window that appears under a resting mouse where the mouse is, which shows
    # the control strip for a few seconds; the pictures compared here are of the show alone, so
    # the mouse rests off the window (Xvfb puts it in the screen's middle, over the window).
    local screen_w screen_h
    read -r screen_w screen_h < <(xwininfo -root | awk '/^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {print w, h}')
    xdotool mousemove $((screen_w - 1)) $((screen_h - 1)) 2>/dev/null ||
        fail "the pointer could not be moved off the window"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        timeout "$wait_limit" wine wineboot -i >"$work/wineboot.log" 2>&1 ||
            fail "no Wine prefix in $WINEPREFIX: $(tail -n 3 "$work/wineboot.log")"
    fi
}

# wine_run NAME ARGS...: runs the program with its output in $work/NAME.out and .err (line ends
# as on Linux), and sets `status` to its exit status.
wine_run() {
    local name=$1
    shift
    (cd "$work" && timeout "$wait_limit" wine "$exe" "$@" >"$name.out.crlf" 2>"$name.err.crlf")
    status=$?
    tr -d '\r' <"$work/$name.out.crlf" >"$work/$name.out"
    tr -d '\r' <"$work/$name.err.crlf" >"$work/$name.err"
}

# match_share A.png B.png: the share of pixels whose channels all lie within 24/255 of the other
# picture's (the largest channel difference of each pixel, thresholded just above 24), then the
# number of pixels that are not.
match_share() {
    convert "$1" "$2" -compose difference -composite -separate -evaluate-sequence max \
        -threshold 9.6% -format '%[fx:1-mean] %[fx:round(mean*w*h)]' info:
}
