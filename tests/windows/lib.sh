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
    # -w: the test ends only once the prefix's wineserver (and so every process of it) has gone.
    # Bounded like every other wait: a wineserver that does not end fails the test, not hangs it.
    trap 'cleanup; timeout 60 wineserver -k 2>/dev/null; timeout "$wait_limit" wineserver -w 2>/dev/null
        [ $? != 124 ] || { echo "FAIL: the Wine prefix'"'"'s processes did not end within $wait_limit s"; exit 1; }' EXIT
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
