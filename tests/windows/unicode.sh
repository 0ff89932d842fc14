#!/usr/bin/env bash
# The Windows program for a user whose name and folders are in Cyrillic and CJK letters, under
# Wine, in a fresh prefix of its own (in PREFIX_DIR) whose user is "Иван 日本" (so the profile,
# the Pictures folder and the default per-user install folder carry those letters):
# - a silent per-user install into C:\Игры\Люменфолд 日本 (given with /D=), listed there;
# - its Start-menu shortcut starts the program in the user's Pictures folder;
# - started from there as the shortcut does, with --start 84 --paused, it finds its data beside
#   itself, its picture equals show_frames' (at least 99 % of the pixels within 24/255), and s
#   saves it into Pictures\screenshots, the status line naming the file by its full Windows
#   path (read through the test report).
# Skipped (77) where Wine is missing or the packages were not built.
#   unicode.sh PACKAGE_DIR VERSION PREFIX_DIR SHOW_FRAMES
. "$(dirname "$0")/../e2e/lib.sh"
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/installer_lib.sh"
show_frames=${4:?usage: unicode.sh PACKAGE_DIR VERSION PREFIX_DIR SHOW_FRAMES}
root=$PWD
user='Иван 日本'
folder='C:\Игры\Люменфолд 日本'
installer_setup "$1" "$2" "$3" "$user"
profile=$WINEPREFIX/drive_c/users/$user
[ -d "$profile" ] || fail "Wine made no profile folder for the user $user: $(ls "$WINEPREFIX/drive_c/users")"

words_for "/D=$folder"
silent_install unicode /CURRENTUSER "${words[@]}"
location=$(user_value 'Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumenfold' InstallLocation) ||
    fail "no entry after the install into $folder"
[ "$location" = "$folder" ] || fail "the entry names $location, not $folder"
installed=$(unix_path "$folder")
[ -f "$installed/lumenfold.exe" ] && [ -f "$installed/resources/ground.bmp" ] ||
    fail "nothing installed in $folder ($installed): $(ls -A "$installed" 2>&1)"
link=$(find "$profile" -path '*/Start Menu/Programs/Lumenfold.lnk' | head -n 1)
[ -n "$link" ] || fail "no Start-menu shortcut in $user's profile"
pictures_folder
[[ $pictures_windows == *"$user"* ]] || fail "the user's Pictures folder is $pictures_windows"

# The shortcut starts the program in the user's Pictures folder (its icon names the program, as
# its target does). Wine cannot start a shortcut to a folder named beyond its ANSI code page, so
# the program is started below as the shortcut says.
[ "$(shortcut_field "$link" working_dir)" = "$pictures_windows" ] ||
    fail "the shortcut starts the program in $(shortcut_field "$link" working_dir), not $pictures_windows"
[ "$(shortcut_field "$link" icon)" = "$folder\lumenfold.exe" ] ||
    fail "the shortcut names $(shortcut_field "$link" icon), not $folder\lumenfold.exe"

# In the Pictures folder, as the shortcut starts it, at a chosen moment (started from a Unix
# working folder, Wine would name that folder through drive Z: instead).
report=$work/report
report_windows=$(wine_tool winepath -w "$report" 2>/dev/null | tr -d '\r')
bin=wine
bin_args=(start /d "$pictures_windows" /wait "$folder\\lumenfold.exe" --start 84 --paused)
start LUMENFOLD_REPORT="$report_windows"
drawn_at_rest() { at_rest "$1" && [ "$(brightest "$1" 720x576+0+0)" -gt 0 ]; }
wait_for "the paused picture at 84 s" drawn_at_rest paused
key s
shot_name=lumenfold-084.00s.png
expected="Saved $pictures_windows\\screenshots\\$shot_name"
saved() { [ -s "$pictures/screenshots/$shot_name" ]; }
wait_for "$shot_name in $pictures_windows\\screenshots after s" saved
# The report is written as the program reads its clock, which a paused show does when it draws:
# t (the status line, on and off) makes it draw.
names_it() {
    key t
    [ "$(report_notice)" = "$expected" ]
}
wait_for "the status line saying: $expected" names_it
key q
finish
[ "$status" = 0 ] || fail "exit status $status after q"

mkdir -p "$work/frames"
(cd "$root" && "$show_frames" "$work/frames" 84 >/dev/null 2>&1) || fail "show_frames made no picture of 84 s"
reference=$work/frames/frame-084.00.png
ours=$pictures/screenshots/$shot_name
[ "$(identify -format %wx%h "$ours")" = "$(identify -format %wx%h "$reference")" ] ||
    fail "the screenshot is $(identify -format %wx%h "$ours"), show_frames' picture $(identify -format %wx%h "$reference")"
read -r share off <<<"$(match_share "$ours" "$reference")"
echo "at 84 s: $share of the pixels within 24/255 of show_frames' picture ($off pixels not)"
awk -v s="$share" 'BEGIN { exit !(s >= 0.99) }' || fail "at 84 s only $share of the pixels match"
echo "PASS: installed into $folder for $user, started from $pictures_windows: the show, its picture and its screenshot's name"
