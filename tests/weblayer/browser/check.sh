#!/usr/bin/env bash
# The web layer in headless Chromium's software WebGL 2: builds a page with emcc (the layer and
# the scenes, the scenes through web/gl/names.h as the program will be), serves it on the
# loopback, takes the test scene's screenshot, compares it with the system GL's picture of the
# same scene (drawn natively under Xvfb), and times the show-shaped load.
#   tests/weblayer/browser/check.sh [FRAMES]      (from the repository's root)
# Exits 77 when emcc, chromium or node is missing, or puppeteer-core cannot be installed.
set -euo pipefail
frames=${1:-100}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
here=$root/tests/weblayer/browser
for tool in emcc chromium node npm g++ convert compare; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
# Debian's emscripten needs Debian's Node modules, which the machine's own Node does not see.
export NODE_PATH=/usr/share/nodejs
work=$(mktemp -d)
server=
cleanup() {
    if [ -n "$server" ]; then
        kill "$server" 2>/dev/null
        wait "$server" 2>/dev/null || true # its status is that of the kill
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# puppeteer-core (no browser download: it drives /usr/bin/chromium), cached beside the builds.
driver=$("$root/tools/browser-driver") || exit 77

echo "== Building the page with emcc"
flags=(-std=c++17 -O2 -Wall -Wextra -Werror -I"$root")
for source in "$root"/web/gl/*.cpp; do
    emcc "${flags[@]}" -c "$source" -o "$work/layer_$(basename "${source%.cpp}").o"
done
for source in scenes page; do
    emcc "${flags[@]}" -include web/gl/names.h -c "$here/$source.cpp" -o "$work/$source.o"
done
emcc -O2 "$work"/*.o -o "$work/page.js" -sUSE_WEBGL2=1 -sMIN_WEBGL_VERSION=2 \
    -sMAX_WEBGL_VERSION=2 -sALLOW_MEMORY_GROWTH=1 -lglut \
    -sEXPORTED_FUNCTIONS=_main,_showTestScene,_runBenchmark -sEXPORTED_RUNTIME_METHODS=UTF8ToString
cat >"$work/index.html" <<'HTML'
<!doctype html>
<html><head><meta charset="utf-8"><title>web layer check</title><link rel="icon" href="data:,">
<style>body{margin:0;background:#000}canvas{display:block}</style></head>
<body><canvas id="canvas" width="720" height="576"></canvas>
<script>var Module = {canvas: document.getElementById('canvas')};</script>
<script src="page.js"></script></body></html>
HTML

echo "== The system GL's picture of the scene (Xvfb)"
g++ "${flags[@]}" "$here/native_scene.cpp" "$here/scenes.cpp" -o "$work/native_scene" -lglut -lGLU -lGL
"$root/tools/with-xvfb" "$work/native_scene" "$work/native.ppm" 50

echo "== Headless Chromium"
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$work" >"$work/server.log" 2>&1 &
server=$!
for _ in $(seq 50); do
    python3 -c "import socket; socket.create_connection(('127.0.0.1', $port), 1)" 2>/dev/null && break
    sleep 0.1
done
cp "$here/drive.mjs" "$driver/drive.mjs"
timeout 600 node "$driver/drive.mjs" "http://127.0.0.1:$port/index.html" "$work/browser.png" \
    "$frames" >"$work/report.json"
echo "benchmark (720 x 576, unlit then lit): $(cat "$work/report.json")"

pictures=$root/build/browser-check
mkdir -p "$pictures"
convert "$work/native.ppm" "$pictures/native.png"
cp "$work/browser.png" "$pictures/browser.png"
# The two rasterisers differ along edges; 8/255 leaves rounding out of the count.
different=$(compare -metric AE -fuzz 3% "$pictures/native.png" "$pictures/browser.png" \
    "$pictures/difference.png" 2>&1 || true)
total=$((720 * 576))
echo "pixels more than 8/255 apart: $different of $total (pictures in $pictures)"
# A layer that draws nothing, or draws it elsewhere, differs in far more than 2 % of the picture.
if [ "$different" -gt $((total / 50)) ]; then
    echo "FAILED: the browser's picture is not the system GL's"
    exit 1
fi
echo "passed"
