#!/usr/bin/env bash
# A release's packing gives the same bytes from the same built files, whoever packs them: the
# Windows zip and installer (windows/package/make-packages) and the page's archive
# (tools/pack-tar) are packed twice, the second time from copies with other file times and
# modes, in another folder, under another umask, locale and time zone; then
# - every package is identical between the two;
# - the times inside are SOURCE_DATE_EPOCH's (the zip's entries, the program's PE header, the
#   archive's entries), which the first packing is given and the second, without it, takes from
#   the last commit as tools/release does; the archive's entries are in name order, owned by 0:0;
# - tools/release --sums writes a SHA256SUMS that names every package once, nothing else, and
#   that sha256sum -c accepts.
# The packages hold the files of FILE_LIST (windows/package/files.cmake's), with a small
# stand-in for the soundtrack SOUNDTRACK (LZMA over 23 MB takes a minute).
# Without the Windows program (this machine could not build it) the page's archive and the sums
# are still checked and the test is skipped (77) at the end.
#   packing.sh VERSION WEB_DIR WINDOWS_BUILD_DIR FILE_LIST SOUNDTRACK
. "$(dirname "$0")/../e2e/lib.sh"
source_root=$(cd "$(dirname "$0")/../.." && pwd)
version=$1 web=$2 windows_build=$3 list=$4 soundtrack=$5
# The sums are in the C locale's name order, and so are the listings compared with them.
export LC_ALL=C
[ -s "$web/index.html" ] || fail "no page in $web (tools/setup test builds it)"
exe=$windows_build/lumenfold.exe product=$windows_build/product.nsh
windows=1
for tool in makensis zip unzip x86_64-w64-mingw32-objdump; do
    command -v "$tool" >/dev/null || windows=0
done
[ -f "$exe" ] && [ -f "$product" ] || windows=0
[ -s "$list" ] || fail "no file list $list (the build writes it)"
grep -qx "resources/$soundtrack" "$list" || fail "$list does not name the soundtrack resources/$soundtrack"
epoch=$(env -u SOURCE_DATE_EPOCH "$source_root/tools/source-date-epoch") || fail "no SOURCE_DATE_EPOCH"
at() { TZ=UTC LC_ALL=C date -u -d "@$epoch" "$1"; }

# The second packing's inputs: copies dated 2001 and readable by their owner only.
mkdir -p "$work/in1/resources" "$work/in2"
head -c 200000 "$source_root/resources/ground.bmp" >"$work/in1/resources/$soundtrack"
cp -r "$web" "$work/in1/web"
[ "$windows" = 0 ] || cp "$exe" "$product" "$list" "$work/in1/"
cp -r "$work/in1/." "$work/in2/"
chmod -R go-rwx "$work/in2"
find "$work/in2" -exec touch -h -d 2001-01-01 {} +

# pack N UMASK TZ LOCALE EPOCH: everything from in-N into out-N, from in-N.
pack() {
    local in=$work/in$1 out=$work/out$1
    mkdir -p "$out"
    (
        umask "$2"
        cd "$in"
        export TZ=$3 LC_ALL=$4
        if [ -n "$5" ]; then export SOURCE_DATE_EPOCH=$5; else unset SOURCE_DATE_EPOCH; fi
        if [ "$windows" = 1 ]; then
            "$source_root/windows/package/make-packages" "$version" "$in/lumenfold.exe" \
                "$in/resources/$soundtrack" "$in/product.nsh" "$in/$(basename "$list")" "$out" \
                >"$work/pack$1.log" 2>&1 ||
                fail "make-packages failed: $(tail -n 5 "$work/pack$1.log")"
        fi
        "$source_root/tools/pack-tar" "$out/lumenfold-$version-web.tar.gz" "lumenfold-$version-web" "$in/web" ||
            fail "pack-tar failed"
        "$source_root/tools/release" --sums "$out" || fail "tools/release --sums failed"
    ) || exit 1
}
pack 1 022 UTC C "$epoch"
pack 2 077 '<+14>-14' C.UTF-8 ""

names=$(ls -A "$work/out1")
[ "$names" = "$(ls -A "$work/out2")" ] ||
    fail "the two packings made different files: $(echo $names) and $(ls -A "$work/out2" | paste -sd' ')"
# The packages first, so that a difference is named by its package rather than by the sums.
for name in $(grep -vx SHA256SUMS <<<"$names") SHA256SUMS; do
    cmp "$work/out1/$name" "$work/out2/$name" >"$work/cmp" ||
        fail "$name differs between the two packings: $(cat "$work/cmp")"
done
echo "identical: $(echo $names)"

# The times stamped are SOURCE_DATE_EPOCH's.
archive=$work/out1/lumenfold-$version-web.tar.gz
TZ=UTC LC_ALL=C tar -tvzf "$archive" --full-time >"$work/listing" || fail "tar cannot read $archive"
awk -v at="$(at '+%Y-%m-%d %H:%M:%S')" '$2 != "0/0" || $4 " " $5 != at { bad = bad "\n  " $0 }
     END { if (bad) { print "entries not 0/0 at " at ":" bad; exit 1 } }' \
    "$work/listing" >"$work/bad" || fail "$(cat "$work/bad")"
LC_ALL=C tar -tzf "$archive" >"$work/order"
LC_ALL=C sort -c "$work/order" 2>"$work/sort" || fail "the archive's entries are not in name order: $(cat "$work/sort")"
grep -qx "lumenfold-$version-web/index.html" "$work/order" || fail "no lumenfold-$version-web/index.html in $archive"
if [ "$windows" = 1 ]; then
    zip=$work/out1/lumenfold-$version-win64.zip
    # A zip keeps even seconds only.
    for time in $(TZ=UTC zipinfo -T "$zip" | awk 'NF == 8 && $1 ~ /^[-d][-r]/ { print $7 }' | sort -u); do
        seconds=$(TZ=UTC date -d "${time:0:8} ${time:9:2}:${time:11:2}:${time:13:2}" +%s)
        [ $((seconds - epoch)) -ge -1 ] && [ $((seconds - epoch)) -le 1 ] ||
            fail "a zip entry is dated $time, not $(at '+%Y%m%d.%H%M%S')"
    done
    unzip -q "$zip" lumenfold.exe -d "$work/unzipped" || fail "no lumenfold.exe in the zip"
    stamp=$(TZ=UTC LC_ALL=C x86_64-w64-mingw32-objdump -p "$work/unzipped/lumenfold.exe" | sed -n 's/^Time\/Date[[:space:]]*//p')
    [ "$stamp" = "$(at '+%a %b %e %H:%M:%S %Y')" ] || fail "the zip's program is stamped '$stamp'"
fi

# SHA256SUMS names each package once and matches.
listed=$(cut -c67- "$work/out1/SHA256SUMS")
[ "$listed" = "$(ls "$work/out1" | grep -vx SHA256SUMS)" ] ||
    fail "SHA256SUMS lists '$(echo $listed)', the folder holds '$(ls "$work/out1" | paste -sd' ')'"
(cd "$work/out1" && sha256sum --check --strict SHA256SUMS) >"$work/check" 2>&1 ||
    fail "sha256sum -c rejects SHA256SUMS: $(cat "$work/check")"

if [ "$windows" = 0 ]; then
    echo "SKIP: no Windows program in $windows_build (or no makensis, zip or mingw binutils): the page's archive and the sums checked, the zip and the installer not"
    exit 77
fi
echo "PASS: the zip, the installer and the page's archive packed twice into the same bytes, stamped SOURCE_DATE_EPOCH; SHA256SUMS complete and correct"
