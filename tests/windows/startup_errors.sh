#!/usr/bin/env bash
# Errors that end the Windows program at start-up, under Wine, in a fresh prefix of its own (in
# PREFIX_DIR), the program in a folder named in Cyrillic and CJK letters:
# - started with no console and no redirected output, as a double-click or the Start menu starts
#   it (wine start /unix: no standard handles), with its resources folder missing, or ground.bmp
#   a text file, cut short or empty: a message box appears, its title the error's words (the
#   ones the Linux program prints), and once it is closed the exit status is 255;
# - started with its output redirected, as a script does: no message box (the program ends by
#   itself), the same words on standard output, the file and the folders looked in on standard
#   error, status 255.
# Skipped (77) where Wine is missing or the program was not built.
#   startup_errors.sh BUILD/windows PREFIX_DIR LINUX_LUMENFOLD
windows_dir=${1:?usage: startup_errors.sh BUILD/windows PREFIX_DIR LINUX_LUMENFOLD}
prefix_dir=${2:?} linux=${3:?}
. "$(dirname "$0")/../e2e/lib.sh"
. "$(dirname "$0")/lib.sh"
root=$PWD
rm -rf "$prefix_dir"
windows_setup "$windows_dir" "$prefix_dir/prefix"
remove_at_end+=("$prefix_dir")
programs=$WINEPREFIX/drive_c/Люменфолд
mkdir -p "$work/nowhere" # a working folder without data

# make_case NAME: a copy of the program in C:\Люменфолд\NAME 日本 with the case's resources.
make_case() {
    local dir="$programs/$1 日本"
    mkdir -p "$dir/resources"
    cp "$exe" "$dir/"
    case $1 in
    missing) rmdir "$dir/resources" ;;
    text) echo "not a picture" >"$dir/resources/ground.bmp" ;;
    short) head -c 100 "$root/resources/ground.bmp" >"$dir/resources/ground.bmp" ;;
    empty) : >"$dir/resources/ground.bmp" ;;
    esac
    case_windows="C:\\Люменфолд\\$1 日本\\lumenfold.exe"
}
# words_of NAME: what the Linux program prints for the same resources.
words_of() {
    mkdir -p "$work/linux-$1"
    [ -d "$programs/$1 日本/resources" ] && cp -r "$programs/$1 日本/resources" "$work/linux-$1/"
    (cd "$work/linux-$1" && "$linux" >"$work/linux-$1.out" 2>/dev/null)
    cat "$work/linux-$1.out"
}

# The box is a top-level window titled with the words; Return presses its only button.
message_box() {
    local window
    for window in $(xdotool search --onlyvisible --name '^Lumenfold: ' 2>/dev/null); do
        [ "$(xdotool getwindowname "$window" 2>/dev/null)" = "Lumenfold: $1" ] && echo "$window" && return
    done
}
for name in missing text short empty; do
    make_case "$name"
    words=$(words_of "$name")
    [ -n "$words" ] || fail "$name: the Linux program printed nothing"
    cd "$work/nowhere" || fail "no folder $work/nowhere"
    timeout "$wait_limit" wine start /wait /unix "$(winepath -u "$case_windows" 2>/dev/null)" \
        >"$work/$name.out" 2>"$work/$name.err" &
    pid=$!
    box_shown() { box=$(message_box "$words"); [ -n "$box" ]; }
    wait_for "$name: a message box titled 'Lumenfold: $words'" box_shown
    timeout 60 import -window root "$work/$name-box.png" 2>/dev/null || fail "no screenshot of the screen"
    xdotool key --window "$box" Return 2>/dev/null
    finish
    [ "$status" = 255 ] || fail "$name: exit status $status after the message box, not 255"
    echo "$name: message box '$words'; status 255"
    timeout "$wait_limit" wineserver -w || fail "Wine's processes did not end after $name"

    # Output redirected: the words there, and no box to wait for.
    timeout "$wait_limit" wine "$case_windows" >"$work/$name.redirected.crlf" 2>"$work/$name.err.crlf"
    status=$?
    [ "$status" = 255 ] || fail "$name, output redirected: exit status $status, not 255"
    [ "$(tr -d '\r' <"$work/$name.redirected.crlf")" = "$words" ] ||
        fail "$name, output redirected: printed '$(cat "$work/$name.redirected.crlf")', not '$words'"
    # Standard error tells a console user what the box tells everyone else: the file and where.
    # (Wine and freeglut may write lines of their own there too.)
    tr -d '\r' <"$work/$name.err.crlf" >"$work/$name.err"
    stop=.
    [[ $words =~ [.!?]$ ]] && stop=
    grep -qxF "Lumenfold cannot go on: $words$stop" "$work/$name.err" &&
        grep -qxF "It reads ground.bmp from the first of these folders that has it:" "$work/$name.err" ||
        fail "$name, output redirected: standard error says: $(head -c 600 "$work/$name.err")"
done
echo "PASS: four start-up errors shown in a message box without a console, printed with one"
