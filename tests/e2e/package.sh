#!/usr/bin/env bash
# The Debian package, made by cpack from this build and unpacked with dpkg-deb -x into a
# temporary folder (nothing is installed on the machine): its Depends name the run-time
# libraries and it recommends ffmpeg; it holds the programs, data, man page, desktop entry and
# icon; its program, started from /, finds its data beside itself; its lumenfold-movie renders.
#   package.sh BUILD_DIR
build=${1:?usage: package.sh BUILD_DIR}
. "$(dirname "$0")/lib.sh"
(cd "$build" && cpack -G DEB -B "$work/pkg") >"$work/cpack.log" 2>&1 ||
    fail "cpack made no package: $(tail -n 5 "$work/cpack.log")"
deb=$(ls "$work"/pkg/*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "cpack left no .deb in $work/pkg"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libglut libglu libsdl2 libpng; do
    grep -q "$library" <<<"$depends" || fail "Depends does not name $library: $depends"
done
[ "$(dpkg-deb -f "$deb" Recommends)" = ffmpeg ] || fail "Recommends: $(dpkg-deb -f "$deb" Recommends)"

root=$work/root
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb could not unpack $deb"
for file in bin/lumenfold bin/lumenfold-movie share/lumenfold/resources/ground.bmp \
    share/lumenfold/resources/Sonavel.wav share/man/man6/lumenfold.6 \
    share/applications/lumenfold.desktop share/icons/hicolor/128x128/apps/lumenfold.png; do
    [ -s "$root/usr/$file" ] || fail "the package has no /usr/$file"
done

cd /
bin=$root/usr/bin/lumenfold
bin_args=(--start 125 --paused)
start
credits() { shot credits && [ "$(brightest credits 400x20+0+516)" = 255 ]; }
wait_for "the credits at 125 s from the unpacked program started in /" credits
key q
finish
[ "$status" = 0 ] || fail "the unpacked program ended with status $status after q"
[ -s "$work/stdout" ] && fail "the unpacked program said: $(head -c 200 "$work/stdout")"

"$root/usr/bin/lumenfold-movie" --from 10 --to 10.4 --output "$work/movie/short.mp4" \
    2>"$work/movie.log" || fail "the unpacked lumenfold-movie failed: $(cat "$work/movie.log")"
audio=$(ffprobe -v error -select_streams a:0 -show_entries stream=codec_type -of csv=p=0 "$work/movie/short.mp4")
[ "$audio" = audio ] || fail "the unpacked lumenfold-movie found no soundtrack"
echo "PASS: $(basename "$deb"): depends on $depends; runs from / and renders a movie"
