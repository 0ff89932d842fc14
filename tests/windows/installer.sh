#!/usr/bin/env bash
# The Windows installer under Wine, in a fresh prefix of its own (in PREFIX_DIR, this test's
# folder in the build), with a home folder of its own (Wine links the user's Pictures and
# Documents to the home folder):
# - /S installs silently: exactly the files of FILE_LIST and the uninstaller into the user's
#   programs folder and a Start-menu shortcut to the program with its icon, nothing anywhere
#   else; the program is the zip's;
# - Apps & features' entry (HKCU ...\Uninstall\Lumenfold) has every value with the right text;
# - the installed program knows its version; started through its shortcut, as the Start menu
#   does, it finds its data beside itself (its window shows the show), works in the user's real
#   Pictures folder (s saves there), and quits with q;
# - a folder of the user's that holds a file of an installed name is refused, untouched;
# - the quiet uninstall command waits until it has removed every file and folder the installer
#   made and the entry (its own file goes once it has ended), leaves nothing in the temporary
#   folder, and keeps a file the user put in the program's folder (and with it the folder);
# - /S /ALLUSERS installs the same for everyone (Wine runs as an administrator): into Program
#   Files, the all-users Start menu and the machine's entry (HKLM), not the user's; a per-user
#   install into that folder is refused; its quiet uninstall removes all of it.
# Skipped (77) where Wine is missing or the packages were not built.
#   installer.sh PACKAGE_DIR VERSION PREFIX_DIR FILE_LIST
. "$(dirname "$0")/../e2e/lib.sh"
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/installer_lib.sh"
list=$4
installer_setup "$1" "$2" "$3"

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

expect() { [ "$(value "$1")" = "$2" ] || fail "the entry's $1 is '$(value "$1")', not '$2'"; }
# check_entry KEY FOLDER: the entry in Apps & features, each value as Windows lists it, names
# the folder FOLDER (a glob, relative to drive C:); sets location, installed, relative.
check_entry() {
    read_entry "$1" || fail "no uninstall entry $1"
    location=$(value InstallLocation)
    [ -n "$location" ] || fail "the entry has no InstallLocation: $(cat "$work/entry")"
    expect DisplayName Lumenfold
    expect DisplayVersion "$version"
    expect Publisher "The Lumenfold team"
    expect DisplayIcon "$location\\lumenfold.exe,0"
    expect UninstallString "\"$location\\uninstall.exe\" _?=$location"
    expect QuietUninstallString "\"$location\\uninstall.exe\" /S _?=$location"
    expect NoModify 0x1
    expect NoRepair 0x1
    installed=$(unix_path "$location")
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
# check_added START_MENU: exactly the listed files, their folders, the uninstaller, the
# program's folder (and a new parent folder) and a shortcut in START_MENU (relative to drive C:)
# were added; sets start_menu.
check_added() {
    start_menu=$1/Lumenfold.lnk
    grep -qxF "$start_menu" "$work/added" ||
        fail "no Start-menu shortcut $start_menu among the new files: $(cat "$work/added")"
    parent=${relative%/Lumenfold}
    {
        grep -qxF "$parent" "$work/before" || echo "$parent"
        echo "$relative"
        echo "$relative/uninstall.exe"
        while read -r name; do
            echo "$relative/$name"
            [ "$(dirname "$name")" = . ] || echo "$relative/$(dirname "$name")"
        done <"$list"
        echo "$start_menu"
    } | sort -u >"$work/expected"
    diff "$work/expected" "$work/added" >"$work/added.diff" ||
        fail "the installer's files differ from the expected (< missing, > extra): $(cat "$work/added.diff")"
    unzip -p "$zip" lumenfold.exe | cmp -s - "$installed/lumenfold.exe" ||
        fail "the installed program is not the zip's"
}
# check_version: the installed program, from a folder with no data of its own, knows its version.
check_version() {
    mkdir -p "$work/elsewhere"
    (cd "$work/elsewhere" && timeout "$wait_limit" wine "$installed/lumenfold.exe" --version) \
        >"$work/version" 2>&1 || fail "the installed lumenfold.exe --version ended with status $?"
    [ "$(tr -d '\r' <"$work/version")" = "lumenfold $version" ] ||
        fail "lumenfold.exe --version wrote: $(cat "$work/version")"
}
# check_shortcut: the program started through the shortcut, as the Start menu does, shows the
# show (its data found beside it) and saves its screenshots into the user's Pictures folder,
# the one Windows' shell names (and nowhere else); q ends it.
check_shortcut() {
    pictures_folder
    rm -rf "$pictures/screenshots"
    cd "$work/elsewhere" || fail "no folder $work/elsewhere"
    from_shortcut "$WINEPREFIX/drive_c/$start_menu"
    # A black window would mean no GL (without its data the program ends at once).
    shows_picture() { shot show && [ "$(brightest show 4096x4096+0+0)" -gt 0 ]; }
    wait_for "the show's picture in the window of the program the shortcut started" shows_picture
    key s
    saved_in_pictures() { ls "$pictures"/screenshots/lumenfold-*.png >/dev/null 2>&1; }
    wait_for "a screenshot in the user's Pictures folder ($pictures/screenshots) after s" saved_in_pictures
    [ -e "$work/elsewhere/screenshots" ] && fail "the shortcut started the program in another folder"
    key q
    shortcut_ended
    rm -r "$pictures/screenshots"
}

silent_install user
check_entry "$key" 'users/*/AppData/Local/Programs/Lumenfold'
check_added "$(dirname "$(grep -m1 '^users/[^/]*/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Lumenfold.lnk$' "$work/added")")"
check_version
check_shortcut

# A file of the user's in the program's folder, which the uninstaller must keep.
mkdir "$installed/screenshots" && echo mine >"$installed/screenshots/mine.png"
quiet_uninstall "$key" "$installed"
# What the installer made and is still there: only the program's folder, kept for the user's
# file, and the user's programs folder, which belongs to Windows.
[ -s "$work/left" ] && fail "the uninstaller left: $(cat "$work/left")"
[ "$(cat "$installed/screenshots/mine.png" 2>/dev/null)" = mine ] ||
    fail "the uninstaller removed the user's file in the program's folder"
echo "for the user: installed $(wc -l <"$work/added") files and folders, $estimated KiB; uninstalled them all"

# For everyone (Wine runs as an administrator): Program Files, the all-users Start menu and the
# machine's entry, and not the user's; the uninstaller removes all of them and the folder.
silent_install machine /ALLUSERS
wine_tool reg query "$key" >/dev/null 2>&1 && fail "the install for everyone wrote $key"
check_entry "$machine_key" 'Program Files/Lumenfold'
check_added 'ProgramData/Microsoft/Windows/Start Menu/Programs'
check_version
check_shortcut
# The folder holds the other mode's install: a per-user install there would take its files.
words_for "/D=$location"
run "$wait_limit" wine "$setup" /S /CURRENTUSER "${words[@]}" >"$work/taken-machine.log" 2>&1 &&
    fail "a per-user install into the install for everyone ($location) succeeded"
wine_tool reg query "$key" >/dev/null 2>&1 && fail "the refused per-user install wrote $key"
quiet_uninstall "$machine_key" "$installed"
[ -s "$work/left" ] && fail "the uninstaller for everyone left: $(cat "$work/left")"
[ -e "$installed" ] && fail "the uninstaller for everyone left its folder $installed"
echo "for everyone: installed $(wc -l <"$work/added") files and folders, $estimated KiB; uninstalled them all"
