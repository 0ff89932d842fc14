#!/usr/bin/env bash
# The Debian package, built as the README says (tools/make-deb: dpkg-buildpackage on a copy of
# the sources) into this test's temporary folder and unpacked there with dpkg-deb -x (nothing
# is installed on the machine):
# - lintian finds no error and no warning in it or in its debugging symbols' package;
# - its copyright file names only what is in the source, the glyphs under their own licence;
# - its control fields: games section, a real maintainer, the run-time libraries, ffmpeg
#   recommended; its files are exactly the expected ones, in Debian's places for a game;
# - the programs are stripped and lumenfold-dbgsym holds their symbols under their build ids;
# - the manual pages are compressed and lint clean, the desktop entry and the AppStream metadata
#   validate, the icons have the sizes their folders name, the changelog and the metadata
#   describe this version;
# - the unpacked programs, started from /, know their version and options, find their data
#   beside themselves (the show reaches its credits) and lumenfold-movie renders with the
#   soundtrack; lumenfold-render-slurm finds its job scripts and the movie program in the
#   package's places (submitted to a stand-in sbatch that only notes what it is given).
# Without lintian every other check runs and the test is skipped (77) at the end.
#   package.sh
. "$(dirname "$0")/lib.sh"
source_root=$(cd "$(dirname "$0")/../.." && pwd)
# The checkers keep their scratch files in this test's folder.
export TMPDIR=$work XDG_CACHE_HOME=$work/cache
for tool in dpkg-buildpackage dh mandoc appstreamcli desktop-file-validate identify readelf; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (tools/setup test installs it)"
done

"$source_root/tools/make-deb" "$work/pkg" >"$work/make-deb.log" 2>&1 ||
    fail "tools/make-deb made no package: $(tail -n 20 "$work/make-deb.log")"
deb=$(ls "$work"/pkg/lumenfold_*.deb 2>/dev/null | head -n 1)
ddeb=$(ls "$work"/pkg/lumenfold-dbgsym_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "tools/make-deb left no lumenfold_*.deb in $work/pkg: $(ls "$work/pkg")"
[ -n "$ddeb" ] || fail "tools/make-deb left no lumenfold-dbgsym_*.deb in $work/pkg: $(ls "$work/pkg")"
version=$(dpkg-deb -f "$deb" Version)

# Control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Section)" = games ] || fail "Section: $(field Section)"
maintainer=$(field Maintainer)
[[ $maintainer =~ ^[^@]+\ \<[^@\>]+@[^@\>]+\.[a-z]+\>$ && $maintainer != *localhost* ]] ||
    fail "Maintainer is not a real address: $maintainer"
depends=$(field Depends)
for library in libglut libglu libsdl2 libpng; do
    grep -q "$library" <<<"$depends" || fail "Depends does not name $library: $depends"
done
# The movie program encodes with ffmpeg and draws through EGL; neither it nor the show pulls
# in an X server.
[ "$(field Recommends)" = "ffmpeg, libegl1, libegl-mesa0" ] || fail "Recommends: $(field Recommends)"
# The cluster's command needs Slurm's client only where it is used.
[ "$(field Suggests)" = "slurm-client" ] || fail "Suggests: $(field Suggests)"
grep -q -i -e xvfb -e xserver <<<"$depends $(field Recommends)" && fail "the package pulls in an X server"
[ "$(dpkg-deb -f "$ddeb" Depends)" = "lumenfold (= $version)" ] ||
    fail "lumenfold-dbgsym depends on: $(dpkg-deb -f "$ddeb" Depends)"

# Every file, and no other: a stray install rule or a file in the old places shows here.
expected="./usr/games/lumenfold
./usr/games/lumenfold-movie
./usr/games/lumenfold-render-slurm
./usr/libexec/lumenfold/slurm-join.sh
./usr/libexec/lumenfold/slurm-task.sh
./usr/share/applications/org.lumenfold.Lumenfold.desktop
./usr/share/doc/lumenfold/changelog.gz
./usr/share/doc/lumenfold/copyright
./usr/share/games/lumenfold/resources/Sonavel.wav
./usr/share/games/lumenfold/resources/ground.bmp
./usr/share/icons/hicolor/128x128/apps/lumenfold.png
./usr/share/icons/hicolor/256x256/apps/lumenfold.png
./usr/share/icons/hicolor/48x48/apps/lumenfold.png
./usr/share/man/man6/lumenfold-movie.6.gz
./usr/share/man/man6/lumenfold-render-slurm.6.gz
./usr/share/man/man6/lumenfold.6.gz
./usr/share/metainfo/org.lumenfold.Lumenfold.metainfo.xml"
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | LC_ALL=C sort)
[ "$files" = "$(LC_ALL=C sort <<<"$expected")" ] ||
    fail "the package's files differ from the expected ones:
$(diff <(LC_ALL=C sort <<<"$expected") <(echo "$files"))"

root=$work/root
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb could not unpack $deb"
dpkg-deb -x "$ddeb" "$work/dbgsym" || fail "dpkg-deb could not unpack $ddeb"
usr=$root/usr

# Stripped programs, and each one's symbols in the dbgsym package under its build id.
for program in lumenfold lumenfold-movie; do
    elf=$usr/games/$program
    readelf -S "$elf" | grep -q '\.symtab' && fail "$program is not stripped"
    id=$(readelf -n "$elf" | awk '/Build ID/ { print $3 }')
    [ -n "$id" ] || fail "$program has no build id"
    debug=$work/dbgsym/usr/lib/debug/.build-id/${id:0:2}/${id:2}.debug
    [ -s "$debug" ] || fail "lumenfold-dbgsym has no symbols for $program (build id $id)"
    readelf -s "$debug" 2>/dev/null | grep -q ' main$' || fail "$debug holds no symbol table for $program"
done

# Manual pages: compressed at the highest level without a name or time, and lint clean.
for page in lumenfold lumenfold-movie lumenfold-render-slurm; do
    man=$usr/share/man/man6/$page.6.gz
    gzip -t "$man" || fail "$page.6.gz is not a valid gzip file"
    gzip -cd "$man" | gzip -9n | cmp -s - "$man" || fail "$page.6.gz is not compressed with gzip -9n"
    lint=$(gzip -cd "$man" | mandoc -T lint -W warning 2>&1) || fail "mandoc on $page(6): $lint"
    [ -z "$lint" ] || fail "mandoc on $page(6): $lint"
    gzip -cd "$man" | grep -q '^\.TH [A-Z-]* 6 [0-9]\{4\}-[0-9][0-9]-[0-9][0-9] ' ||
        fail "$page(6) has no ISO date in its .TH line"
done

# Desktop entry, AppStream metadata (with the desktop entry it launches) and icons.
desktop=$usr/share/applications/org.lumenfold.Lumenfold.desktop
metainfo=$usr/share/metainfo/org.lumenfold.Lumenfold.metainfo.xml
check=$(desktop-file-validate "$desktop" 2>&1)
[ -z "$check" ] || fail "desktop-file-validate: $check"
grep -qx 'Exec=lumenfold' "$desktop" || fail "the desktop entry does not start lumenfold"
grep -qx 'Categories=Game;.*' "$desktop" || fail "the desktop entry is not a game"
check=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli validate: $check"
check=$(appstreamcli validate-tree --no-net "$root" 2>&1) || fail "appstreamcli validate-tree: $check"
grep -q '<launchable type="desktop-id">org.lumenfold.Lumenfold.desktop</launchable>' "$metainfo" ||
    fail "the metadata does not launch org.lumenfold.Lumenfold.desktop"
newest=$(grep -o '<release version="[^"]*"' "$metainfo" | head -n 1 | cut -d'"' -f2)
[ "$newest" = "$version" ] || fail "the metadata's newest release is $newest, the package $version"
for size in 48 128 256; do
    icon=$usr/share/icons/hicolor/${size}x$size/apps/lumenfold.png
    [ "$(identify -format '%m %wx%h' "$icon")" = "PNG ${size}x$size" ] ||
        fail "the ${size}x$size icon is $(identify -format '%m %wx%h' "$icon")"
done

# Copyright (machine-readable, naming the licence) and the changelog of this version.
doc=$usr/share/doc/lumenfold
head -n 1 "$doc/copyright" | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "the copyright file is not machine-readable"
grep -q '^License: Expat$' "$doc/copyright" || fail "the copyright file names no licence"
# Every Files: pattern names something in the source (a file the build makes is not there), and
# the glyph table made from the public-domain font has a paragraph of its own.
if sources=$(cd "$source_root" && git ls-files --cached --others --exclude-standard 2>/dev/null); then
    while read -r pattern; do
        matched=0
        while read -r file; do
            # shellcheck disable=SC2053
            [[ $file == $pattern ]] && { matched=1; break; }
        done <<<"$sources"
        [ "$matched" = 1 ] || fail "the copyright file names $pattern, which is not in the source"
    done < <(sed -n 's/^Files: //p' "$doc/copyright" | tr ' ' '\n')
fi
[ "$(awk '/^Files: / { f = ($2 == "common/font_8x13.inc") } f && /^License:/ { print $2; exit }' "$doc/copyright")" = public-domain ] ||
    fail "the 8 x 13 glyphs have no public-domain paragraph of their own in the copyright file"
gzip -cd "$doc/changelog.gz" >"$work/changelog"
logged=$(dpkg-parsechangelog -l "$work/changelog" -S Version 2>&1) || fail "the changelog: $logged"
[ "$logged" = "$version" ] || fail "the changelog's newest entry is $logged, the package $version"

# lintian: no error, no warning (info and pedantic tags are not counted).
have_lintian=1
if command -v lintian >/dev/null; then
    lintian --fail-on none "$deb" "$ddeb" >"$work/lintian.log" 2>&1
    tags=$(grep -E '^[EW]: ' "$work/lintian.log")
    [ -z "$tags" ] || fail "lintian:
$tags"
else
    have_lintian=0
fi

# The unpacked programs, started from /, know their version and options and find their data.
cd /
[ "$("$usr/games/lumenfold" --version)" = "lumenfold $version" ] ||
    fail "lumenfold --version says: $("$usr/games/lumenfold" --version 2>&1)"
"$usr/games/lumenfold-movie" --help >"$work/help" 2>&1 || fail "lumenfold-movie --help failed"
grep -q -- '--join' "$work/help" || fail "lumenfold-movie --help: $(head -c 200 "$work/help")"

# The cluster's command from the package: help, then a submission (a stand-in sbatch notes its
# arguments and answers a job id) that runs the package's job scripts and movie program.
"$usr/games/lumenfold-render-slurm" --help >"$work/help" 2>&1 || fail "lumenfold-render-slurm --help failed: $(cat "$work/help")"
grep -q '^usage: lumenfold-render-slurm --output PATH' "$work/help" || fail "lumenfold-render-slurm --help: $(cat "$work/help")"
mkdir -p "$work/slurm"
printf '#!/bin/sh\necho "$*" >>"%s"\necho 4$(wc -l <"%s")\n' "$work/sbatch-calls" "$work/sbatch-calls" >"$work/slurm/sbatch"
chmod +x "$work/slurm/sbatch"
PATH=$work/slurm:/usr/bin:/bin "$usr/games/lumenfold-render-slurm" --from 10 --to 30 --size 64x48 --tasks 2 \
    --output "$work/cluster/movie.mp4" >"$work/submit.txt" 2>&1 || fail "lumenfold-render-slurm from the package: $(cat "$work/submit.txt")"
grep -q "^parts: job array 41, tasks 0 1 of 2 (frames 250 to 750, 3 chunks)$" "$work/submit.txt" ||
    fail "lumenfold-render-slurm from the package said: $(cat "$work/submit.txt")"
grep -q " $usr/libexec/lumenfold/slurm-task.sh $usr/games/lumenfold-movie $work/cluster/movie.mp4.parts " "$work/sbatch-calls" &&
    grep -q " $usr/libexec/lumenfold/slurm-join.sh $usr/games/lumenfold-movie $work/cluster/movie.mp4.parts " "$work/sbatch-calls" ||
    fail "lumenfold-render-slurm did not submit the package's job scripts and program: $(cat "$work/sbatch-calls")"

bin=$usr/games/lumenfold
bin_args=(--start 125 --paused)
start
credits() { shot credits && [ "$(brightest credits 400x20+0+516)" = 255 ]; }
wait_for "the credits at 125 s from the unpacked program started in /" credits
key q
finish
[ "$status" = 0 ] || fail "the unpacked program ended with status $status after q"
[ -s "$work/stdout" ] && fail "the unpacked program said: $(head -c 200 "$work/stdout")"

# The movie program needs no display.
env -u DISPLAY -u XAUTHORITY "$usr/games/lumenfold-movie" --from 10 --to 10.4 --output "$work/movie/short.mp4" \
    2>"$work/movie.log" || fail "the unpacked lumenfold-movie failed: $(cat "$work/movie.log")"
audio=$(ffprobe -v error -select_streams a:0 -show_entries stream=codec_type -of csv=p=0 "$work/movie/short.mp4")
[ "$audio" = audio ] || fail "the unpacked lumenfold-movie found no soundtrack"

if [ "$have_lintian" = 0 ]; then
    echo "SKIP: lintian is not installed (tools/setup test installs it); every other check of $(basename "$deb") passed"
    exit 77
fi
echo "PASS: $(basename "$deb"): lintian clean, depends on $depends; runs from / and renders a movie"
