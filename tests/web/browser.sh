#!/usr/bin/env bash
# The show's page in headless Chromium, as built by the set-up into build/web (drive.mjs serves
# it and drives it; any uncaught error or console error in the page fails the run):
#   browser  the pictures of ?start=T&paused for five moments against show_frames' pictures of
#            the same moments (at least 97 % of the pixels within 24/255 on every channel; the
#            rest is where the two rasterisers put edge pixels); the keys; the mouse; what a
#            browser without Opus downloads
#   phone    two phones (upright and sideways, density 3) with real touches
#   faults   refused addresses, missing and damaged files, no JavaScript, no WebGL 2, a lost
#            context, ?fullscreen, a phone turned while loading
#   network  the start on a slow link; offline after one visit; the manifest; a new build's
#            service worker cache
#   browser.sh SITE_DIR SHOW_FRAMES [GROUP]     (GROUP: browser by default)
site=${1:?usage: browser.sh SITE_DIR SHOW_FRAMES [GROUP]}
show_frames=${2:?usage: browser.sh SITE_DIR SHOW_FRAMES [GROUP]}
group=${3:-browser}
. "$(dirname "$0")/../e2e/lib.sh"
for tool in chromium node npm convert cmake; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (tools/setup test installs it)"; exit 77; }
done
[ -s "$site/index.html" ] && [ -s "$site/lumenfold.wasm" ] && [ -s "$site/sw.js" ] ||
    fail "no web build in $site (tools/setup web or test makes it)"
driver=$(tools/browser-driver) || exit 77
cp "$(dirname "$0")/drive.mjs" "$driver/drive-show.mjs"
drive() { node "$driver/drive-show.mjs" "$@"; }

case "$group" in
browser)
    moments=(0 20 47 84 125)
    "$show_frames" "$work" "${moments[@]}" >/dev/null 2>&1 || fail "show_frames made no reference pictures"
    drive pictures "$site" "$work" "${moments[@]}" || fail "the pictures were not taken"
    for t in "${moments[@]}"; do
        reference=$work/frame-$(printf '%06.2f' "$t").png
        convert "$reference" -depth 8 "rgb:$work/native.rgb" && convert "$work/web-$t.png" -depth 8 "rgb:$work/web.rgb" ||
            fail "the pictures of $t s could not be read"
        share=$(drive match "$work/native.rgb" "$work/web.rgb") || fail "$t s: $share"
        echo "at $t s: $share of the pixels within 24/255 of show_frames' picture"
        awk -v s="$share" 'BEGIN { exit !(s >= 0.97) }' || fail "at $t s only $share of the pixels match"
    done
    drive keys "$site" "$work" || fail "the keys"
    # The downloaded screenshot is the picture of 86 s, not a blank one.
    [ "$(identify -format %wx%h "$work/lumenfold-086.00s.png")" = 720x576 ] || fail "the screenshot is not 720 x 576"
    lit=$(convert "$work/lumenfold-086.00s.png" -format '%[fx:int(255*maxima)]' info:)
    [ "$lit" -gt 64 ] || fail "the downloaded screenshot is dark (brightest channel $lit)"
    drive mouse "$site" "$work" || fail "the mouse"
    drive without-opus "$site" "$work" || fail "the page without Opus"
    echo "PASS: five moments as the desktop draws them; the page's keys, help and q; a refused address;"
    echo "      the mouse on the picture and the timeline; MP3 without Opus"
    ;;
phone)
    drive phone "$site" "$work" || fail "the phones"
    echo "PASS: two phones: controls of 44 px and text of 13 px or more; taps show and hide the controls"
    echo "      and change nothing else; the play button; touch scrubs; a double tap's full screen"
    ;;
faults)
    drive faults "$site" "$work" || fail "a fault was not said on the page"
    lit=$(convert "$work/restored.png" -format '%[fx:int(255*maxima)]' info:)
    [ "$lit" -gt 64 ] || fail "the picture after the lost context came back is dark (brightest channel $lit)"
    echo "PASS: every fault said on the page in a line of its own, with no uncaught or console error"
    ;;
network)
    # The service worker's cache is named for the files' contents: the same files, the same
    # name; one byte changed in any of them, another.
    cache_name() {
        cmake -DSITE="$1" -DTEMPLATE=web/page/sw.js.in -DVERSION=0 \
            -DFILES=index.html,page.js,lumenfold.wasm -DSOUNDTRACKS=Sonavel.ogg -P web/service_worker.cmake &&
            sed -n "s/^const kCache = '\(.*\)';$/\1/p" "$1/sw.js"
    }
    mkdir -p "$work/build1" "$work/build2"
    cp "$site"/index.html "$site"/page.js "$site"/lumenfold.wasm "$site"/Sonavel.ogg "$work/build1/"
    cp "$work/build1"/* "$work/build2/"
    first=$(cache_name "$work/build1") && same=$(cache_name "$work/build2") || fail "the service worker could not be written"
    printf '\n' >>"$work/build2/page.js"
    changed=$(cache_name "$work/build2") || fail "the service worker could not be written"
    [ -n "$first" ] && [ "$first" = "$same" ] && [ "$changed" != "$first" ] ||
        fail "the cache names of one build and another: '$first', '$same', '$changed'"
    echo "the cache: $first for a build, again for the same files, $changed after a change"
    drive network "$site" "$work" || fail "the network"
    echo "PASS: the music from the first note on a slow link; offline after one visit; the manifest;"
    echo "      a new build's cache replaces the old"
    ;;
*) fail "unknown group $group" ;;
esac
