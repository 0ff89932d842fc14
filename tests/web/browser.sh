#!/usr/bin/env bash
# The show's page in headless Chromium, as built by the set-up into build/web: the pictures of
# ?start=T&paused for five moments against show_frames' pictures of the same moments (at least
# 97 % of the pixels within 24/255 on every channel; the rest is where the two rasterisers put
# edge pixels), then the keys a, p, 5, s (a download), h, m and q, and a bad address; addresses
# that stop the show and a lost WebGL context; a desktop mouse; real touches on an emulated
# phone; and what a browser without Opus downloads.
#   browser.sh SITE_DIR SHOW_FRAMES
site=${1:?usage: browser.sh SITE_DIR SHOW_FRAMES}
show_frames=${2:?usage: browser.sh SITE_DIR SHOW_FRAMES}
. "$(dirname "$0")/../e2e/lib.sh"
for tool in chromium node npm convert; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (tools/setup test installs it)"; exit 77; }
done
[ -s "$site/index.html" ] && [ -s "$site/lumenfold.wasm" ] || fail "no web build in $site (tools/setup web or test makes it)"
driver=$(tools/browser-driver) || exit 77
cp "$(dirname "$0")/drive.mjs" "$driver/drive-show.mjs"

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site" >"$work/server.log" 2>&1 &
extra_pids+=($!)
serving() { python3 -c "import socket; socket.create_connection(('127.0.0.1', $port), 1)" 2>/dev/null; }
wait_for "the page being served on port $port" serving
url=http://127.0.0.1:$port/

moments=(0 20 47 84 125)
"$show_frames" "$work" "${moments[@]}" >/dev/null 2>&1 || fail "show_frames made no reference pictures"
node "$driver/drive-show.mjs" pictures "$url" "$work" "${moments[@]}" || fail "the pictures were not taken"
for t in "${moments[@]}"; do
    reference=$work/frame-$(printf '%06.2f' "$t").png
    convert "$reference" -depth 8 "rgb:$work/native.rgb" && convert "$work/web-$t.png" -depth 8 "rgb:$work/web.rgb" ||
        fail "the pictures of $t s could not be read"
    share=$(node "$driver/drive-show.mjs" match "$work/native.rgb" "$work/web.rgb") || fail "$t s: $share"
    echo "at $t s: $share of the pixels within 24/255 of show_frames' picture"
    awk -v s="$share" 'BEGIN { exit !(s >= 0.97) }' || fail "at $t s only $share of the pixels match"
done

node "$driver/drive-show.mjs" keys "$url" "$work" || fail "the keys"
# The downloaded screenshot is the picture of 86 s, not a blank one.
[ "$(identify -format %wx%h "$work/lumenfold-086.00s.png")" = 720x576 ] || fail "the screenshot is not 720 x 576"
lit=$(convert "$work/lumenfold-086.00s.png" -format '%[fx:int(255*maxima)]' info:)
[ "$lit" -gt 64 ] || fail "the downloaded screenshot is dark (brightest channel $lit)"
node "$driver/drive-show.mjs" faults "$url" "$work" || fail "the addresses that stop the show, or the lost context"
lit=$(convert "$work/restored.png" -format '%[fx:int(255*maxima)]' info:)
[ "$lit" -gt 64 ] || fail "the picture after the lost context came back is dark (brightest channel $lit)"
node "$driver/drive-show.mjs" mouse "$url" "$work" || fail "the mouse"
node "$driver/drive-show.mjs" phone "$url" "$work" || fail "the emulated phone"
node "$driver/drive-show.mjs" without-opus "$url" "$work" || fail "the page without Opus"
echo "PASS: five moments as the desktop draws them; a, p, 5, s, h, m and q; a bad address refused in one line;"
echo "      ?help, ?version and a newline shown; a lost context comes back; mouse and touch; MP3 without Opus"
