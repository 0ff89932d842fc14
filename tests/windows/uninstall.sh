#!/usr/bin/env bash
# The Windows uninstaller under Wine beside another copy, in a fresh prefix of its own (in
# PREFIX_DIR):
# - copy A installed silently into a folder holding a file of the user's (of no installed name),
#   then copy B into another folder, which takes over the Start-menu shortcut and the entry in
#   Apps & features; A's uninstaller then removes A's files and keeps the user's file, and
#   leaves B's shortcut and entry as they were;
# - B's quiet uninstall (the entry's command) returns once B's files are gone and leaves nothing;
# - uninstall.exe /S without _?= (NSIS then runs a copy from the temporary folder and returns at
#   once) removes everything too, and its copy's folder ~nsuN.tmp goes as well.
# Skipped (77) where Wine is missing or the packages were not built.
#   uninstall.sh PACKAGE_DIR VERSION PREFIX_DIR
. "$(dirname "$0")/../e2e/lib.sh"
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/installer_lib.sh"
installer_setup "$1" "$2" "$3"
drive=$WINEPREFIX/drive_c

# shortcut_leads_to FOLDER: the user's Start-menu shortcut starts FOLDER's program.
shortcut() { find "$drive/users" -path '*/Start Menu/Programs/Lumenfold.lnk' | head -n 1; }
shortcut_leads_to() {
    local link
    link=$(shortcut)
    [ -n "$link" ] || return 1
    { strings -a "$link"; strings -a -el "$link"; } | grep -qF "$1\\lumenfold.exe"
}

mkdir -p "$drive/Copies/A"
echo "the user's own" >"$drive/Copies/A/notes.txt"
silent_install A '/D=C:\Copies\A'
[ -f "$drive/Copies/A/lumenfold.exe" ] || fail "copy A was not installed beside the user's file"
silent_install B '/D=C:\Copies\B'
read_entry "$key" || fail "no entry after installing copy B"
[ "$(value InstallLocation)" = 'C:\Copies\B' ] || fail "the entry names $(value InstallLocation), not copy B"
shortcut_leads_to 'C:\Copies\B' || fail "the shortcut does not start copy B after it was installed"
cp "$work/entry" "$work/entry-b"

# A's own uninstaller, run in place as A's entry said (_?=): only A's files go.
words_for '_?=C:\Copies\A'
run "$wait_limit" wine 'C:\Copies\A\uninstall.exe' /S "${words[@]}" >"$work/uninstall-a.log" 2>&1 ||
    fail "copy A's uninstaller failed with status $?"
read_entry "$key" || fail "uninstalling copy A removed copy B's entry"
diff "$work/entry-b" "$work/entry" >/dev/null || fail "uninstalling copy A changed copy B's entry: $(cat "$work/entry")"
shortcut_leads_to 'C:\Copies\B' || fail "uninstalling copy A removed or changed copy B's shortcut"
[ "$(ls -A "$drive/Copies/A")" = notes.txt ] || fail "copy A's folder holds after its uninstall: $(ls -A "$drive/Copies/A")"
[ "$(cat "$drive/Copies/A/notes.txt")" = "the user's own" ] || fail "uninstalling copy A changed the user's file"
[ -f "$drive/Copies/B/lumenfold.exe" ] || fail "uninstalling copy A removed copy B's files"
echo "copy A uninstalled beside copy B: B's shortcut and entry kept, the user's file in A's folder kept"

# B through its entry: waits, then nothing of B is left.
quiet_uninstall "$key" "$drive/Copies/B"
[ -e "$drive/Copies/B" ] && fail "copy B's uninstaller left its folder: $(ls -A "$drive/Copies/B")"
[ -n "$(shortcut)" ] && fail "copy B's uninstaller left the shortcut $(shortcut)"
echo "copy B's quiet uninstall returned once its files were gone and left nothing"

# Without _?=, as a user may type it: NSIS's copy in the temporary folder does the work after
# the command has returned; once every process has ended nothing is left, ~nsuN.tmp included.
silent_install again
read_entry "$key" || fail "no entry after installing again"
installed=$(unix_path "$(value InstallLocation)")
ls -A "$temp_dir" >"$work/temp-before"
run "$wait_limit" wine "$installed/uninstall.exe" /S >"$work/uninstall-plain.log" 2>&1 ||
    fail "uninstall.exe /S failed with status $?"
[ -e "$installed" ] && fail "uninstall.exe /S left: $(find "$installed")"
read_entry "$key" && fail "uninstall.exe /S left its entry"
ls -A "$temp_dir" | comm -13 "$work/temp-before" - >"$work/temp-left"
[ -s "$work/temp-left" ] && fail "uninstall.exe /S left in the temporary folder: $(cat "$work/temp-left")"
echo "PASS: an uninstaller removes only its own copy's shortcut and entry, waits when run in place, and leaves no temporary folder"
