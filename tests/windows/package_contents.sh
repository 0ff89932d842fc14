#!/usr/bin/env bash
# The Windows packages this test run built into PACKAGE_DIR, read without Windows:
# - the zip holds exactly the files of FILE_LIST (the program, its two data files, the licence
#   and the README), the data as the desktop build has them, the text files with Windows line
#   ends;
# - the program in the zip is stripped and carries the icon in every size from 16 to 256 pixels and version
#   information naming this version, the licence's copyright line and the product (read back
#   with windres); the installer carries the same icon and version;
# Skipped (77) where the packages were not built or mingw's binutils are missing.
#   package_contents.sh PACKAGE_DIR VERSION FILE_LIST
. "$(dirname "$0")/../e2e/lib.sh"
. "$(dirname "$0")/lib.sh"
source_root=$(cd "$(dirname "$0")/../.." && pwd)
package_dir=$1 version=$2 list=$3
zip=$package_dir/lumenfold-$version-win64.zip
setup=$package_dir/lumenfold-$version-setup.exe
windres=x86_64-w64-mingw32-windres
if [ ! -f "$zip" ] || [ ! -f "$setup" ]; then
    skip "no Windows packages in $package_dir: the test windows.build did not make them (it says why)"
fi
need_tools unzip "$windres"

# Exactly the listed files, nothing else; the data files are the source tree's and the desktop
# build's (resources/), byte for byte.
unzip -Z1 "$zip" | grep -v '/$' | sort >"$work/files" || fail "unzip cannot read $zip"
grep -q '^resources/' "$list" || fail "$list names no data files"
sort "$list" >"$work/expected"
diff "$work/expected" "$work/files" >"$work/files.diff" ||
    fail "the zip's files differ from $list (< missing, > extra): $(cat "$work/files.diff")"
mkdir "$work/zip"
unzip -q "$zip" -d "$work/zip" || fail "unzip cannot extract $zip"
while read -r data; do
    cmp -s "$work/zip/$data" "$source_root/$data" || fail "the zip's $data is not $data"
done < <(grep '^resources/' "$list")
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
