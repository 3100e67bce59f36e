#!/usr/bin/env bash
# Builds the game for a web page into build-web/page/ with Debian's Emscripten (the
# preset web): the page, the script, the WebAssembly and the packed pictures, font
# and sound. The preset builds FreeType, libjpeg-turbo and giflib for it once from
# Debian's sources, in $GAVREMO_CACHE/web. scripts/web.sh --serve then serves the page
# on 127.0.0.1 (port PORT, 8013 by default).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/commun.sh
case "${1:-}" in
  "" | --serve) ;;
  *) echo "usage: scripts/web.sh [--serve]" >&2; exit 2 ;;
esac
scripts/installer.sh web
cache_pret
mkdir -p build-web
rm -f build-web/construction.log
journal build-web/construction.log cmake --workflow --preset web
echo "Built build-web/page/: index.html, gavremo.js, gavremo.wasm, gavremo.data, sw.js, the manifest and icons"

if [ "${1:-}" = --serve ]; then
  port=${PORT:-8013}
  echo "Serving the game at http://127.0.0.1:$port/ (Ctrl-C stops)"
  exec /usr/bin/python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web/page
fi
