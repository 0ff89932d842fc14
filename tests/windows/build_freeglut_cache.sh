#!/usr/bin/env bash
# windows/build-freeglut replaces its cache's include/ and lib/ when it builds: a folder named by
# mistake that holds someone else's files is refused before anything is fetched or removed, and
# an empty one is taken (and marked as the script's). The mingw compiler is kept off the PATH, so
# neither case goes on to fetch or build; then a stand-in apt-get fails, and its words are shown.
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/tests/e2e/lib.sh"
mkdir -p "$work/bin"
for tool in sh ls mkdir touch dirname; do
    ln -s "$(command -v "$tool")" "$work/bin/$tool"
done
run() { PATH=$work/bin "$root/windows/build-freeglut" "$1" 2>"$work/said"; }

mkdir -p "$work/theirs/include/GL"
echo mine >"$work/theirs/include/GL/own.h"
run "$work/theirs" && fail "a folder holding someone else's files was taken as the cache"
grep -q "holds files this script did not make" "$work/said" || fail "the refusal said: $(cat "$work/said")"
[ "$(cat "$work/theirs/include/GL/own.h" 2>/dev/null)" = mine ] || fail "the folder's own file was removed"
[ "$(ls -A "$work/theirs")" = include ] || fail "the refused folder was written into: $(ls -A "$work/theirs")"

mkdir "$work/empty"
run "$work/empty" && fail "build-freeglut succeeded with no mingw-w64 compiler"
grep -q "no mingw-w64 compiler" "$work/said" || fail "an empty folder was not taken: $(cat "$work/said")"
[ -e "$work/empty/.made-by-build-freeglut" ] || fail "the empty folder taken was not marked"
# A step that fails shows what it wrote, which goes with the temporary folder at exit; nothing
# of the run is left behind.
for tool in awk sed grep cat basename mktemp rm tail head; do
    ln -s "$(command -v "$tool")" "$work/bin/$tool"
done
for tool in x86_64-w64-mingw32-gcc-posix dpkg-source; do
    printf '#!/bin/sh\nexit 0\n' >"$work/bin/$tool"
done
printf '#!/bin/sh\necho "E: The repository is not signed (a stand-in apt)"\nexit 100\n' >"$work/bin/apt-get"
chmod +x "$work/bin"/*
mkdir "$work/fetching"
run "$work/fetching" && fail "build-freeglut succeeded although apt-get failed"
grep -q "  E: The repository is not signed" "$work/said" && grep -q "apt-get update .* failed" "$work/said" ||
    fail "a failed apt-get was said without its words: $(cat "$work/said")"
[ "$(ls -A "$work/fetching")" = .made-by-build-freeglut ] ||
    fail "the failed run left: $(ls -A "$work/fetching")"
echo "PASS: a folder of someone else's refused untouched; an empty one taken; a failed step's words shown"
