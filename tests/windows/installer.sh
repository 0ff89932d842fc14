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
#   entry, and keeps a file the user put in the program's folder (and with it the folder).
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
files >"$work/before"
wine_tool reg query "$key" >/dev/null 2>&1 && fail "a fresh prefix already has $key"

run "$wait_limit" wine "$setup" /S >"$work/setup.log" 2>&1 || fail "the silent install failed with status $?"
files >"$work/installed"
comm -13 "$work/before" "$work/installed" >"$work/added"

# The entry in Apps & features, each value as Windows lists it.
wine_tool reg query "$key" >"$work/entry.crlf" 2>/dev/null || fail "no uninstall entry $key"
tr -d '\r' <"$work/entry.crlf" >"$work/entry"
value() { awk -v name="$1" '$1 == name { sub(/^ *[^ ]+ +[^ ]+ +/, ""); print; exit }' "$work/entry"; }
location=$(value InstallLocation)
[ -n "$location" ] || fail "the entry has no InstallLocation: $(cat "$work/entry")"
expect() { [ "$(value "$1")" = "$2" ] || fail "the entry's $1 is '$(value "$1")', not '$2'"; }
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
[[ $relative == users/*/AppData/Local/Programs/Lumenfold ]] ||
    fail "installed into $location, not the user's programs folder"
# The size Apps & features shows, in KiB, is what the folder holds.
size_kib=$(($(du -sk --apparent-size "$installed" | cut -f1)))
estimated=$(($(value EstimatedSize)))
[ $((estimated * 100)) -ge $((size_kib * 95)) ] && [ $((estimated * 100)) -le $((size_kib * 105)) ] ||
    fail "EstimatedSize is $estimated KiB; the folder holds $size_kib KiB"

# Exactly these were added to the drive (the user's programs folder may be new as well).
start_menu=$(grep -m1 '/Start Menu/Programs/Lumenfold.lnk$' "$work/added")
[ -n "$start_menu" ] || fail "no Start-menu shortcut Lumenfold.lnk among the new files: $(cat "$work/added")"
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
# The shortcut names the program (its target and its icon) and starts it in the user's Pictures
# folder, where its screenshots then go (Windows paths, ANSI or UTF-16).
shortcut=$WINEPREFIX/drive_c/$start_menu
for text in "$location\\lumenfold.exe" "${location%%\\AppData\\*}\\Pictures"; do
    { strings -a "$shortcut"; strings -a -el "$shortcut"; } | grep -qF "$text" ||
        fail "the shortcut does not lead to $text"
done

# The installed program, from a folder with no data of its own.
mkdir -p "$work/elsewhere"
cd "$work/elsewhere" || fail "no folder $work/elsewhere"
timeout "$wait_limit" wine "$installed/lumenfold.exe" --version >"$work/version" 2>&1 ||
    fail "lumenfold.exe --version ended with status $?"
[ "$(tr -d '\r' <"$work/version")" = "lumenfold $version" ] ||
    fail "lumenfold.exe --version wrote: $(cat "$work/version")"
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
# The command Windows runs for a quiet uninstall: "PROGRAM" /S (checked above).
quiet=$(value QuietUninstallString)
uninstaller=${quiet#\"}
uninstaller=${uninstaller%%\"*}
run "$wait_limit" wine "$uninstaller" /S >"$work/uninstall.log" 2>&1 ||
    fail "the quiet uninstall ($quiet) failed with status $?"
wine_tool reg query "$key" >/dev/null 2>&1 && fail "the uninstaller left $key: $(wine_tool reg query "$key")"
files >"$work/uninstalled"
# What the installer made and is still there: only the program's folder, kept for the user's
# file, and the user's programs folder, which belongs to Windows.
comm -12 "$work/added" "$work/uninstalled" | grep -vxF -e "$relative" -e "$parent" >"$work/left"
[ -s "$work/left" ] && fail "the uninstaller left: $(cat "$work/left")"
[ "$(cat "$installed/screenshots/mine.png" 2>/dev/null)" = mine ] ||
    fail "the uninstaller removed the user's file in the program's folder"
echo "installed $(wc -l <"$work/added") files and folders, $estimated KiB; uninstalled them all"
