#!/usr/bin/env bash
# tools/release stops, saying why, before it installs or builds anything and with every file kept,
# when the tree has uncommitted changes (without --dirty), when dist/ holds a file no earlier
# release made, and when build/release holds one (a build of the user's there, as README's
# install from source makes). It runs in a small repository of its own: tools/release with a
# tools/setup that only notes it was reached, which is where the build would begin.
. "$(dirname "$0")/../e2e/lib.sh"
source_root=$(cd "$(dirname "$0")/../.." && pwd)
repo=$work/repo
mkdir -p "$repo/tools"
cp "$source_root/tools/release" "$source_root/tools/source-date-epoch" "$repo/tools/"
cp "$source_root/CMakeLists.txt" "$repo/"
printf '#!/bin/sh\necho reached >"%s/setup-reached"\nexit 1\n' "$work" >"$repo/tools/setup"
chmod +x "$repo/tools/setup"
git -C "$repo" init -q
git -C "$repo" add -A
git -C "$repo" -c user.name=t -c user.email=t@t commit -q -m tree || fail "git cannot commit the small tree"

# refused WHY EXPECTED_MESSAGE: tools/release exits 1 saying so and never reaches the set-up.
refused() {
    rm -f "$work/setup-reached"
    (cd "$repo" && tools/release) >"$work/out" 2>&1
    local status=$?
    [ "$status" = 1 ] || fail "$1: tools/release exited $status, not 1: $(cat "$work/out")"
    grep -qF "$2" "$work/out" || fail "$1: tools/release did not say '$2': $(cat "$work/out")"
    [ ! -e "$work/setup-reached" ] || fail "$1: tools/release went on to install and build"
}

echo '# changed' >>"$repo/CMakeLists.txt"
refused "a changed tree" "commit them, or pass --dirty"
git -C "$repo" checkout -q CMakeLists.txt

mkdir -p "$repo/dist"
echo mine >"$repo/dist/notes.txt"
refused "dist/ with another file" "dist/ holds files that are not an earlier release's: notes.txt"
[ "$(cat "$repo/dist/notes.txt")" = mine ] || fail "dist/notes.txt was changed"
rm -r "$repo/dist"

mkdir -p "$repo/build/release"
echo mine >"$repo/build/release/CMakeCache.txt"
refused "build/release with a build of the user's" "holds files tools/release did not make"
[ "$(cat "$repo/build/release/CMakeCache.txt")" = mine ] || fail "build/release/CMakeCache.txt was changed"

# A folder an earlier release made (its mark) is its own to empty: the set-up is reached.
touch "$repo/build/release/.made-by-tools-release"
(cd "$repo" && tools/release) >"$work/out" 2>&1
[ -e "$work/setup-reached" ] || fail "a build/release of tools/release's own stopped it: $(cat "$work/out")"
echo "PASS: a changed tree, another file in dist/ and a build of the user's in build/release stop tools/release before it builds, every file kept"
