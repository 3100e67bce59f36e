#!/usr/bin/env bash
# Builds the game for a web page into build-web/ with Debian's Emscripten: the page,
# the script, the WebAssembly and the packed pictures, font and sound.
# scripts/web.sh --serve then serves it on 127.0.0.1 (port PORT, 8013 by default).
set -euo pipefail
cd "$(dirname "$0")/.."
assets=(rsrc_img/curseur.bmp rsrc_img/curseur.gif rsrc_img/terrain.jpg rsrc_img/target.jpg
        rsrc_img/perdu.jpg font/MorrisRomanBlack.ttf son/pan.wav)
for f in "${assets[@]}"; do
  if [ ! -f "$f" ]; then
    echo "web.sh: $f is missing, the page would not start (scripts/assets.sh remakes it)" >&2
    exit 1
  fi
done

scripts/installer.sh web

# Emscripten's tools need Debian's python3 and node modules, whatever comes first on PATH.
export EMSDK_PYTHON=/usr/bin/python3
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
mkdir -p build-web
# The game yields to the browser inside a pass, which only ASYNCIFY allows;
# STB_IMAGE decodes pictures in WebAssembly, transparency included.
emcc -O2 -std=c++17 -Wall -Wextra -Isrc -I/usr/include/stb \
  src/*.cpp plateforme/texte/*.cpp plateforme/web/*.cpp --js-library plateforme/web/sdl.js \
  -sASYNCIFY -sSTB_IMAGE=1 -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1 \
  --preload-file rsrc_img@/rsrc_img --preload-file font@/font --preload-file son@/son \
  --exclude-file '*LICENSE*' -o build-web/gavremo.js
cp plateforme/web/index.html build-web/index.html
echo "Built build-web/: index.html, gavremo.js, gavremo.wasm, gavremo.data"

if [ "${1:-}" = --serve ]; then
  port=${PORT:-8013}
  echo "Serving the game at http://127.0.0.1:$port/ (Ctrl-C stops)"
  exec /usr/bin/python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web
fi
