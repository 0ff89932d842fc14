#!/usr/bin/env bash
# One version everywhere: the CMake project's (VERSION, with the build's mark if any, and
# PROJECT_VERSION without it) is the one that
# - tools/release reads for the release's names, debian/changelog's newest entry and the
#   AppStream metadata's newest release name, and the manual pages show;
# - lumenfold --version says;
# - the page's program holds (the text ?version shows is checked in the browser by web.browser);
# - the Windows program's and installer's version information carries and the packages' names
#   hold (the installer's DisplayVersion is read back under Wine by windows.installer).
# The Windows part is left out, saying so, where this machine could not build the program (the
# test windows.build skipped).
#   version.sh VERSION PROJECT_VERSION LUMENFOLD WEB_DIR WINDOWS_DIR
. "$(dirname "$0")/../e2e/lib.sh"
source_root=$(cd "$(dirname "$0")/../.." && pwd)
version=$1 project_version=$2 lumenfold=$3 web=$4 windows=$5
checked=()
same() { # same WHAT FOUND: FOUND is the project's version
    [ "$2" = "$project_version" ] || fail "$1 is '$2', the project's version $project_version"
    checked+=("$1")
}

same "tools/release --version" "$("$source_root/tools/release" --version 2>&1)"
same "debian/changelog's newest entry" "$(dpkg-parsechangelog -l "$source_root/debian/changelog" -S Version 2>&1)"
newest=$(grep -o '<release version="[^"]*"' "$source_root/packaging/org.lumenfold.Lumenfold.metainfo.xml" |
    head -n 1 | cut -d'"' -f2)
same "the AppStream metadata's newest release" "$newest"
for page in "$source_root"/docs/*.6; do
    shown=$(sed -n 's/^\.TH .*"lumenfold \([^"]*\)".*/\1/p' "$page")
    same "$(basename "$page")'s header" "$shown"
done

said=$("$lumenfold" --version 2>&1)
[ "$said" = "lumenfold $version" ] || fail "lumenfold --version says '$said', not 'lumenfold $version'"
checked+=("lumenfold --version")

# The version is one string in the program's data (the page prints it after "lumenfold ").
[ -s "$web/lumenfold.wasm" ] || fail "no page in $web (tools/setup test builds it)"
LC_ALL=C grep -a -q -F -e "$version" "$web/lumenfold.wasm" ||
    fail "the page's program does not hold the version $version: built from another version?"
checked+=("the page's program")

windres=x86_64-w64-mingw32-windres
if [ -f "$windows/lumenfold.exe" ] && command -v "$windres" >/dev/null; then
    for name in "lumenfold-$version-win64.zip" "lumenfold-$version-setup.exe"; do
        [ -f "$windows/$name" ] || fail "no $name in $windows: $(ls "$windows" | paste -sd' ')"
    done
    IFS=. read -r major minor patch <<<"$project_version"
    for program in "$windows/lumenfold.exe" "$windows/lumenfold-$version-setup.exe"; do
        "$windres" -i "$program" -O rc >"$work/resources.rc" 2>&1 || fail "windres cannot read $program"
        for line in "FILEVERSION $major, $minor, $patch, 0" "VALUE \"ProductVersion\", \"$version\""; do
            grep -qF "$line" "$work/resources.rc" || fail "$(basename "$program")'s version information lacks: $line"
        done
    done
    checked+=("the Windows program's and installer's version information" "the Windows packages' names")
else
    echo "note: no Windows program in $windows (or no mingw binutils): its version not checked"
fi
printf 'checked: %s\n' "${checked[@]}"
echo "PASS: one version, $version"
