#!/usr/bin/env bash
# The Windows packages as tools/setup windows leaves them in PACKAGE_DIR, read without Windows:
# - the zip holds exactly the program, its two data files, the licence and the README, the data
#   as the desktop build has them, the text files with Windows line ends;
# - the program in the zip is stripped and carries the icon in every size from 16 to 256 pixels and version
#   information naming this version, the licence's copyright line and the product (read back
#   with windres); the installer carries the same icon and version;
# Skipped (77) where the packages were not built or mingw's binutils are missing.
#   package_contents.sh PACKAGE_DIR VERSION
. "$(dirname "$0")/../e2e/lib.sh"
source_root=$(cd "$(dirname "$0")/../.." && pwd)
package_dir=$1 version=$2
zip=$package_dir/lumenfold-$version-win64.zip
setup=$package_dir/lumenfold-$version-setup.exe
windres=x86_64-w64-mingw32-windres
if [ ! -f "$zip" ] || [ ! -f "$setup" ]; then
    echo "SKIP: no Windows packages in $package_dir (tools/setup windows makes them)"
    exit 77
fi
for tool in unzip "$windres"; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

# Exactly these files, nothing else.
unzip -Z1 "$zip" | grep -v '/$' | sort >"$work/files" || fail "unzip cannot read $zip"
printf '%s\n' LICENSE.txt README.txt lumenfold.exe resources/Sonavel.wav resources/ground.bmp |
    sort >"$work/expected"
diff "$work/expected" "$work/files" >"$work/files.diff" ||
    fail "the zip's files differ from the expected (< missing, > extra): $(cat "$work/files.diff")"
mkdir "$work/zip"
unzip -q "$zip" -d "$work/zip" || fail "unzip cannot extract $zip"
cmp -s "$work/zip/resources/ground.bmp" "$source_root/resources/ground.bmp" ||
    fail "the zip's ground.bmp is not resources/ground.bmp"
if [ -f "$source_root/resources/Sonavel.wav" ]; then
    cmp -s "$work/zip/resources/Sonavel.wav" "$source_root/resources/Sonavel.wav" ||
        fail "the zip's Sonavel.wav is not the desktop build's resources/Sonavel.wav"
fi
tr -d '\r' <"$work/zip/LICENSE.txt" | cmp -s - "$source_root/LICENSE" ||
    fail "LICENSE.txt is not LICENSE"
for text in LICENSE.txt README.txt; do
    lines=$(wc -l <"$work/zip/$text")
    crlf=$(grep -c $'\r$' "$work/zip/$text")
    [ "$lines" -gt 0 ] && [ "$crlf" = "$lines" ] ||
        fail "$text: $crlf of $lines lines end with CR LF (Notepad expects all)"
done

# resources PROGRAM RC: the resources of a Windows program as an .rc script.
resources() {
    "$windres" -i "$1" -O rc >"$2" 2>"$work/windres.log" ||
        fail "windres cannot read the resources of $1: $(cat "$work/windres.log")"
}
# The icon's sizes as windres prints them: a group icon's "width height colors pad" per element
# (octal; 256 pixels is written 0).
icon_sizes() {
    awk '/RT_GROUP_ICON/ { group = 1 } group && /Element no/ { print $1 } group && /^END/ { exit }'
}
expected_sizes='"\020\020\000\000", "\030\030\000\000", "\040\040\000\000", "\060\060\000\000", "\100\100\000\000", "\200\200\000\000", "\000\000\000\000",'
resources "$work/zip/lumenfold.exe" "$work/exe.rc"
sizes=$(icon_sizes <"$work/exe.rc" | paste -sd' ')
[ "$sizes" = "$expected_sizes" ] ||
    fail "lumenfold.exe's icon sizes (16, 24, 32, 48, 64, 128, 256 expected): ${sizes:-none}"
IFS=. read -r major minor patch <<<"$version"
copyright=$(grep -m1 '^Copyright ' "$source_root/LICENSE")
for line in "FILEVERSION $major, $minor, $patch, 0" "PRODUCTVERSION $major, $minor, $patch, 0" \
    "VALUE \"ProductVersion\", \"$version\"" "VALUE \"FileVersion\", \"$version\"" \
    'VALUE "ProductName", "Lumenfold"' 'VALUE "FileDescription", "Lumenfold"' \
    'VALUE "OriginalFilename", "lumenfold.exe"' "VALUE \"LegalCopyright\", \"$copyright\""; do
    grep -qF "$line" "$work/exe.rc" || fail "lumenfold.exe's version information lacks: $line"
done

"${windres%windres}objdump" -h "$work/zip/lumenfold.exe" | grep -q '\.debug' &&
    fail "the zip's lumenfold.exe is not stripped"

# The installer shows the same icon and says which version it installs.
resources "$setup" "$work/setup.rc"
[ "$(icon_sizes <"$work/setup.rc" | paste -sd' ')" = "$expected_sizes" ] ||
    fail "the installer's icon is not the program's: $(icon_sizes <"$work/setup.rc" | paste -sd' ')"
for line in "FILEVERSION $major, $minor, $patch, 0" "VALUE \"ProductVersion\", \"$version\"" \
    "VALUE \"LegalCopyright\", \"$copyright\""; do
    grep -qF "$line" "$work/setup.rc" || fail "the installer's version information lacks: $line"
done
echo "zip: $(stat -c %s "$zip") bytes, $(wc -l <"$work/files") files; installer: $(stat -c %s "$setup") bytes"
