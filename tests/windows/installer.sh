#!/usr/bin/env bash
# The Windows installer under Wine, in a fresh prefix of its own (in PREFIX_DIR, this test's
# folder in the build), with a home folder of its own (Wine links the user's Pictures and Documents to
# the home folder):
# - /S installs silently: exactly the program, its data, licence, README and uninstaller into
#   the user's programs folder and a Start-menu shortcut to the program with its icon, nothing
#   anywhere else; the program is the zip's;
# - Apps & features' entry (HKCU ...\Uninstall\Lumenfold) has every value with the right text;
# - the installed program, started from another folder, knows its version, finds its data
#   beside itself (its window shows the show) and quits with q;
# - a folder of the user's that holds a file of an installed name is refused, untouched;
# - the quiet uninstall command removes every file and folder the installer made and the
#   entry, and keeps a file the user put in the program's folder (and with it the folder);
# - /S /ALLUSERS installs the same for everyone (Wine runs as an administrator): into Program
#   Files, the all-users Start menu and the machine's entry (HKLM), not the user's; a per-user
#   install into that folder is refused; its quiet uninstall removes all of it.
# Skipped (77) where Wine is missing or the packages were not built.
#   installer.sh PACKAGE_DIR VERSION PREFIX_DIR
. "$(dirname "$0")/../e2e/lib.sh"
package_dir=$1 version=$2 prefix_dir=$3
zip=$package_dir/lumenfold-$version-win64.zip
setup=$package_dir/lumenfold-$version-setup.exe
if [ ! -f "$zip" ] || [ ! -f "$setup" ]; then
    echo "SKIP: no Windows packages in $package_dir (tools/setup windows makes them)"
    exit 77
fi
for tool in wine wineserver unzip xdotool; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

# No Mono or Gecko prompt, and no menu entries written into the real desktop for the shortcut.
export WINEPREFIX=$prefix_dir/prefix WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" HOME=$prefix_dir/home
rm -rf "$prefix_dir"
mkdir -p "$HOME"
# The prefix (about 700 MB) goes with the test.
trap 'timeout 60 wineserver -k 2>/dev/null; cleanup; rm -rf "$prefix_dir"' EXIT
# run SECONDS COMMAND...: a Wine command, bounded; then waits for every process it left.
run() {
    local limit=$1
    shift
    timeout "$limit" "$@"
    local status=$?
    timeout "$wait_limit" wineserver -w || fail "Wine's processes did not end within $wait_limit s after: $*"
    return $status
}
# wine_tool COMMAND...: one of Wine's own programs, bounded.
wine_tool() { timeout "$wait_limit" wine "$@"; }
run "$wait_limit" wine wineboot -i >"$work/wineboot.log" 2>&1 ||
    fail "the Wine prefix could not be made: $(tail -n 5 "$work/wineboot.log")"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumenfold'

# A folder of the user's holding a file of an installed name is refused, and nothing is written:
# installing would replace that file and uninstalling would then delete it.
mine=$WINEPREFIX/drive_c/mine
mkdir -p "$mine" && echo "the user's own" >"$mine/README.txt"
run "$wait_limit" wine "$setup" /S '/D=C:\mine' >"$work/taken.log" 2>&1 &&
    fail "the silent install into a folder holding the user's README.txt succeeded"
[ "$(ls -A "$mine")" = README.txt ] && [ "$(cat "$mine/README.txt")" = "the user's own" ] ||
    fail "the refused install touched the user's folder: $(ls -A "$mine")"
wine_tool reg query "$key" >/dev/null 2>&1 && fail "the refused install wrote $key"
rm -r "$mine"
# Every file and folder in the prefix's C: drive but the temporary ones.
files() { find "$WINEPREFIX/drive_c" -path '*/[Tt]emp' -prune -o -printf '%P\n' | sort; }
wine_tool reg query "$key" >/dev/null 2>&1 && fail "a fresh prefix already has $key"

# install NAME ARGS...: a silent install with ARGS; what it added to the drive goes into
# $work/added (the files before it into $work/before).
install() {
    local name=$1
    shift
    files >"$work/before"
    run "$wait_limit" wine "$setup" /S "$@" >"$work/setup-$name.log" 2>&1 ||
        fail "the silent install $* failed with status $?"
    files >"$work/installed"
    comm -13 "$work/before" "$work/installed" >"$work/added"
}
value() { awk -v name="$1" '$1 == name { sub(/^ *[^ ]+ +[^ ]+ +/, ""); print; exit }' "$work/entry"; }
expect() { [ "$(value "$1")" = "$2" ] || fail "the entry's $1 is '$(value "$1")', not '$2'"; }
# check_entry KEY FOLDER: the entry in Apps & features, each value as Windows lists it, names
# the folder FOLDER (a glob, relative to drive C:); sets location, installed, relative.
check_entry() {
    wine_tool reg query "$1" >"$work/entry.crlf" 2>/dev/null || fail "no uninstall entry $1"
    tr -d '\r' <"$work/entry.crlf" >"$work/entry"
    location=$(value InstallLocation)
    [ -n "$location" ] || fail "the entry has no InstallLocation: $(cat "$work/entry")"
    expect DisplayName Lumenfold
    expect DisplayVersion "$version"
    expect Publisher "The Lumenfold team"
    expect DisplayIcon "$location\\lumenfold.exe,0"
    expect UninstallString "\"$location\\uninstall.exe\""
    expect QuietUninstallString "\"$location\\uninstall.exe\" /S"
    expect NoModify 0x1
    expect NoRepair 0x1
    # winepath answers through the prefix's drive links (dosdevices/c:).
    installed=$(readlink -f "$(wine_tool winepath -u "$location" 2>/dev/null | tr -d '\r')")
    [ -d "$installed" ] || fail "InstallLocation $location ($installed) is not a folder"
    relative=${installed#"$WINEPREFIX/drive_c/"}
    # shellcheck disable=SC2053 # the folder is a glob
    [[ $relative == $2 ]] || fail "installed into $location, not $2"
    # The size Apps & features shows, in KiB, is what the folder holds.
    size_kib=$(($(du -sk --apparent-size "$installed" | cut -f1)))
    estimated=$(($(value EstimatedSize)))
    [ $((estimated * 100)) -ge $((size_kib * 95)) ] && [ $((estimated * 100)) -le $((size_kib * 105)) ] ||
        fail "EstimatedSize is $estimated KiB; the folder holds $size_kib KiB"
}
# check_added START_MENU: exactly the program's files, its folder (and a new parent folder)
# and a shortcut in START_MENU (relative to drive C:) were added; sets start_menu.
check_added() {
    start_menu=$1/Lumenfold.lnk
    grep -qxF "$start_menu" "$work/added" ||
        fail "no Start-menu shortcut $start_menu among the new files: $(cat "$work/added")"
    parent=${relative%/Lumenfold}
    {
        grep -qxF "$parent" "$work/before" || echo "$parent"
        for name in "" /LICENSE.txt /README.txt /lumenfold.exe /resources /resources/Sonavel.wav \
            /resources/ground.bmp /uninstall.exe; do
            echo "$relative$name"
        done
        echo "$start_menu"
    } | sort >"$work/expected"
    diff "$work/expected" "$work/added" >"$work/added.diff" ||
        fail "the installer's files differ from the expected (< missing, > extra): $(cat "$work/added.diff")"
    unzip -p "$zip" lumenfold.exe | cmp -s - "$installed/lumenfold.exe" ||
        fail "the installed program is not the zip's"
}
# check_shortcut PICTURES: the shortcut names the program (its target and its icon) and starts
# it in the user's Pictures folder PICTURES, where its screenshots then go (Windows paths,
# ANSI or UTF-16).
check_shortcut() {
    local text
    for text in "$location\\lumenfold.exe" "$1"; do
        { strings -a "$WINEPREFIX/drive_c/$start_menu"; strings -a -el "$WINEPREFIX/drive_c/$start_menu"; } |
            grep -qF "$text" || fail "the shortcut $start_menu does not lead to $text"
    done
}
# check_version: the installed program, from a folder with no data of its own, knows its version.
check_version() {
    mkdir -p "$work/elsewhere"
    (cd "$work/elsewhere" && timeout "$wait_limit" wine "$installed/lumenfold.exe" --version) \
        >"$work/version" 2>&1 || fail "the installed lumenfold.exe --version ended with status $?"
    [ "$(tr -d '\r' <"$work/version")" = "lumenfold $version" ] ||
        fail "lumenfold.exe --version wrote: $(cat "$work/version")"
}
# uninstall KEY: the command Windows runs for a quiet uninstall, "PROGRAM" /S (checked above),
# removes the entry KEY; what the install added is then in $work/left, but for the program's
# folder and its parent.
uninstall() {
    local quiet uninstaller
    quiet=$(value QuietUninstallString)
    uninstaller=${quiet#\"}
    uninstaller=${uninstaller%%\"*}
    run "$wait_limit" wine "$uninstaller" /S >"$work/uninstall.log" 2>&1 ||
        fail "the quiet uninstall ($quiet) failed with status $?"
    wine_tool reg query "$1" >/dev/null 2>&1 && fail "the uninstaller left $1: $(wine_tool reg query "$1")"
    files >"$work/uninstalled"
    comm -12 "$work/added" "$work/uninstalled" | grep -vxF -e "$relative" -e "$parent" >"$work/left"
}

install user
check_entry "$key" 'users/*/AppData/Local/Programs/Lumenfold'
check_added "$(dirname "$(grep -m1 '^users/[^/]*/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Lumenfold.lnk$' "$work/added")")"
check_shortcut "${location%%\\AppData\\*}\\Pictures"
check_version
cd "$work/elsewhere" || fail "no folder $work/elsewhere"
bin=wine
bin_args=("$installed/lumenfold.exe" --start 84 --paused)
start
# A black window would mean no GL (without its data the program ends at once).
shows_picture() { shot show && [ "$(brightest show 4096x4096+0+0)" -gt 0 ]; }
wait_for "the show's picture in the installed program's window" shows_picture
key q
finish
[ "$status" = 0 ] || fail "the installed program ended with status $status after q"
timeout "$wait_limit" wineserver -w || fail "Wine's processes did not end within $wait_limit s"

# A file of the user's in the program's folder, which the uninstaller must keep.
mkdir "$installed/screenshots" && echo mine >"$installed/screenshots/mine.png"
uninstall "$key"
# What the installer made and is still there: only the program's folder, kept for the user's
# file, and the user's programs folder, which belongs to Windows.
[ -s "$work/left" ] && fail "the uninstaller left: $(cat "$work/left")"
[ "$(cat "$installed/screenshots/mine.png" 2>/dev/null)" = mine ] ||
    fail "the uninstaller removed the user's file in the program's folder"
echo "for the user: installed $(wc -l <"$work/added") files and folders, $estimated KiB; uninstalled them all"

# For everyone (Wine runs as an administrator): Program Files, the all-users Start menu and the
# machine's entry, and not the user's; the uninstaller removes all of them and the folder.
machine_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumenfold'
install machine /ALLUSERS
wine_tool reg query "$key" >/dev/null 2>&1 && fail "the install for everyone wrote $key"
check_entry "$machine_key" 'Program Files/Lumenfold'
check_added 'ProgramData/Microsoft/Windows/Start Menu/Programs'
check_shortcut '%USERPROFILE%\Pictures'
check_version
# The folder holds the other mode's install: a per-user install there would take its files.
# (/D= takes the rest of the command line unquoted; Wine quotes an argument that has a space.)
read -ra dir_words <<<"/D=$location"
run "$wait_limit" wine "$setup" /S /CURRENTUSER "${dir_words[@]}" >"$work/taken-machine.log" 2>&1 &&
    fail "a per-user install into the install for everyone ($location) succeeded"
wine_tool reg query "$key" >/dev/null 2>&1 && fail "the refused per-user install wrote $key"
uninstall "$machine_key"
[ -s "$work/left" ] && fail "the uninstaller for everyone left: $(cat "$work/left")"
[ -e "$installed" ] && fail "the uninstaller for everyone left its folder $installed"
echo "for everyone: installed $(wc -l <"$work/added") files and folders, $estimated KiB; uninstalled them all"
