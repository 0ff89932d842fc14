# Shared by the tests of the Windows installer under Wine (sourced after tests/e2e/lib.sh and
# lib.sh): a fresh prefix of the test's own, with a home folder of its own (Wine links the user's
# Pictures and Documents to it), silent installs, the entry in Apps & features and the quiet
# uninstall that entry names.

# installer_setup PACKAGE_DIR VERSION PREFIX_DIR [USER]: sets zip, setup and key (the per-user
# entry); makes the prefix, for the user USER (the profile folder's name) when given. The prefix
# (about 700 MB) goes with the test.
installer_setup() {
    local package_dir=$1
    version=$2 prefix_dir=$3
    zip=$package_dir/lumenfold-$version-win64.zip
    setup=$package_dir/lumenfold-$version-setup.exe
    if [ ! -f "$zip" ] || [ ! -f "$setup" ]; then
        skip "no Windows packages in $package_dir: the test windows.build did not make them (it says why)"
    fi
    need_tools wine wineserver unzip xdotool
    # No Mono or Gecko prompt, and no menu entries written into the real desktop for shortcuts.
    export WINEPREFIX=$prefix_dir/prefix WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" HOME=$prefix_dir/home
    [ -n "${4:-}" ] && export USER=$4
    rm -rf "$prefix_dir"
    mkdir -p "$HOME"
    remove_at_end+=("$prefix_dir")
    trap end_wine EXIT
    # ALSA's null device stands for the sound card (the installed program plays its soundtrack).
    printf 'pcm.!default {\n  type null\n}\n' >"$work/asound.conf"
    export ALSA_CONFIG_PATH=/usr/share/alsa/alsa.conf:$work/asound.conf
    run "$wait_limit" wine wineboot -i >"$work/wineboot.log" 2>&1 ||
        fail "the Wine prefix could not be made: $(tail -n 5 "$work/wineboot.log")"
    key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumenfold'
    machine_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumenfold'
    wine_tool reg query "$key" >/dev/null 2>&1 && fail "a fresh prefix already has $key"
    all_ended "making the prefix"
    temp_dir=$(unix_path "$(user_value Environment TEMP)")
    [ -d "$temp_dir" ] || fail "the prefix's temporary folder ($temp_dir) is not there"
}

# run SECONDS COMMAND...: a Wine command, bounded; then waits for every process it left.
run() {
    local limit=$1
    shift
    timeout "$limit" "$@"
    local status=$?
    all_ended "$*"
    return $status
}
# all_ended WHAT: waits, bounded, until every process of the prefix has ended.
all_ended() {
    timeout "$wait_limit" wineserver -w || fail "Wine's processes did not end within $wait_limit s after: $1"
}
# wine_tool COMMAND...: one of Wine's own programs, bounded.
wine_tool() { timeout "$wait_limit" wine "$@"; }
# unix_path WINDOWS_PATH: where it is on this machine, through the prefix's drive links.
unix_path() { readlink -f "$(wine_tool winepath -u "$1" 2>/dev/null | tr -d '\r')"; }
# words_for ARGUMENT: the argument as words that Wine joins with spaces, for the two options
# (/D= and _?=) that take the rest of the command line unquoted.
words_for() { read -ra words <<<"$1"; }

# Every file and folder in the prefix's C: drive but the temporary ones.
files() { find "$WINEPREFIX/drive_c" -path '*/[Tt]emp' -prune -o -printf '%P\n' | sort; }

# silent_install NAME ARGS...: a silent install with ARGS; what it added to the drive goes into
# $work/added (the files before it into $work/before).
silent_install() {
    local name=$1
    shift
    files >"$work/before"
    run "$wait_limit" wine "$setup" /S "$@" >"$work/setup-$name.log" 2>&1 ||
        fail "the silent install $* failed with status $?"
    files >"$work/installed"
    comm -13 "$work/before" "$work/installed" >"$work/added"
}

# read_entry KEY: the entry's values, as Windows lists them, into $work/entry; false when none.
read_entry() {
    wine_tool reg query "$1" >"$work/entry.crlf" 2>/dev/null || return 1
    tr -d '\r' <"$work/entry.crlf" >"$work/entry"
}
value() { awk -v name="$1" '$1 == name { sub(/^ *[^ ]+ +[^ ]+ +/, ""); print; exit }' "$work/entry"; }

# quiet_uninstall KEY INSTALLED: runs the entry KEY's quiet uninstall command as Windows does
# (its program, /S and _?=FOLDER: it runs in place, so this waits for it) for the program in the
# folder INSTALLED (a path on this machine). When it returns, the entry, the Start-menu shortcut
# and every file it installed are gone but its own file, which Windows keeps while it runs; once
# every process has ended, that file too, and nothing new is left in the temporary folder (NSIS
# leaves ~nsuN.tmp folders when it runs a copy from there). $work/left: what is still there of
# $work/added then, but for the program's folder and its parent.
quiet_uninstall() {
    local entry=$1 installed=$2 quiet uninstaller folder shortcut
    read_entry "$entry" || fail "no uninstall entry $entry"
    quiet=$(value QuietUninstallString)
    uninstaller=${quiet#\"}
    uninstaller=${uninstaller%%\"*}
    folder=${quiet##* /S _?=}
    [ "$quiet" = "\"$uninstaller\" /S _?=$folder" ] || fail "the quiet uninstall command is: $quiet"
    ls -A "$temp_dir" >"$work/temp-before"
    words_for "_?=$folder"
    timeout "$wait_limit" wine "$uninstaller" /S "${words[@]}" >"$work/uninstall.log" 2>&1 ||
        fail "the quiet uninstall ($quiet) failed with status $?"
    read_entry "$entry" && fail "the uninstaller returned with $entry still there"
    shortcut=$(find "$WINEPREFIX/drive_c" -path '*/Start Menu/Programs/Lumenfold.lnk')
    [ -n "$shortcut" ] && fail "the uninstaller returned with the shortcut still there: $shortcut"
    find "$installed" -type f ! -path "$installed/uninstall.exe" ! -path "$installed/screenshots/*" \
        >"$work/unremoved"
    [ -s "$work/unremoved" ] && fail "the uninstaller returned before it removed: $(cat "$work/unremoved")"
    all_ended "the quiet uninstall"
    [ -e "$installed/uninstall.exe" ] && fail "uninstall.exe is still there after the uninstaller ended"
    ls -A "$temp_dir" | comm -13 "$work/temp-before" - >"$work/temp-left"
    [ -s "$work/temp-left" ] && fail "the uninstaller left in the temporary folder: $(cat "$work/temp-left")"
    files >"$work/uninstalled"
    comm -12 "$work/added" "$work/uninstalled" |
        grep -vxF -e "${installed#"$WINEPREFIX/drive_c/"}" -e "$(dirname "${installed#"$WINEPREFIX/drive_c/"}")" >"$work/left"
}

# from_shortcut LINK: starts the program the way the Start menu does, through the shortcut LINK
# (a path on this machine), and finds its window. Wine's start hands no process back for a
# shortcut (start /wait returns at once): the program is followed through its window, and
# shortcut_ended waits for its end.
from_shortcut() {
    pid=
    wait_for "the windows of earlier programs closing" no_window
    timeout "$wait_limit" wine start "$(wine_tool winepath -w "$1" 2>/dev/null | tr -d '\r')" \
        >"$work/stdout" 2>"$work/stderr" || fail "wine start $1 failed with status $?"
    wid=$(new_window)
    [ -n "$wid" ] || fail "no window of the program the shortcut $1 starts within $wait_limit s"
}
shortcut_ended() {
    wait_for "the window of the program the shortcut started closing" no_window
    all_ended "the program the shortcut started"
}

# shortcut_field LINK FIELD: a string a shortcut (.lnk) holds, as Windows' shell link format
# stores it (UTF-16): FIELD is working_dir, arguments or icon. Wine's start cannot start a
# shortcut whose target has letters beyond the ANSI code page (it reads the target's ANSI form),
# so a test that needs one starts the program as the shortcut says.
shortcut_field() {
    python3 - "$1" "$2" <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read()
flags = struct.unpack_from('<I', data, 20)[0]
at = 76
if flags & 0x1:  # the target as an item list
    at += 2 + struct.unpack_from('<H', data, at)[0]
if flags & 0x2:  # the target's location
    at += struct.unpack_from('<I', data, at)[0]
fields = {}
for bit, name in ((0x4, 'name'), (0x8, 'relative_path'), (0x10, 'working_dir'),
                  (0x20, 'arguments'), (0x40, 'icon')):
    if flags & bit:
        count = struct.unpack_from('<H', data, at)[0]
        width = 2 if flags & 0x80 else 1
        text = data[at + 2:at + 2 + count * width]
        fields[name] = text.decode('utf-16-le' if width == 2 else 'latin-1').rstrip('\0')
        at += 2 + count * width
if sys.argv[2] not in fields:
    sys.exit(1)
print(fields[sys.argv[2]])
PY
}

# user_value KEY NAME: a string value of the user's registry as Wine stores it (user.reg, saved
# once the prefix's processes have ended), letters of any language kept: Wine's own tools print
# their text in the ANSI code page, which turns Cyrillic and CJK into question marks.
user_value() {
    python3 - "$WINEPREFIX/user.reg" "$1" "$2" <<'PY'
import re, sys
path, key, name = sys.argv[1:]
def unescape(text):
    return re.sub(r'\\(x[0-9a-fA-F]{1,4}|.)',
                  lambda m: chr(int(m.group(1)[1:], 16)) if m.group(1)[0] == 'x' else m.group(1), text)
section = None
for line in open(path, encoding='ascii', errors='replace'):
    line = line.rstrip('\n')
    if line.startswith('['):
        section = unescape(line[1:line.index(']')])
    elif section is not None and section.lower() == key.lower():
        m = re.match(r'"((?:[^"\\]|\\.)*)"=(?:str\(2\):)?"((?:[^"\\]|\\.)*)"$', line)
        if m and unescape(m.group(1)).lower() == name.lower():
            print(unescape(m.group(2)))
            sys.exit(0)
sys.exit(1)
PY
}

# pictures_folder: the user's Pictures folder as Windows' shell names it (pictures_windows) and
# where it is on this machine (pictures).
pictures_folder() {
    all_ended "reading the registry"
    pictures_windows=$(user_value 'Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' 'My Pictures') ||
        fail "Windows names no Pictures folder"
    pictures=$(unix_path "$pictures_windows")
    [ -d "$pictures" ] || fail "the Pictures folder $pictures_windows ($pictures) is not there"
}
