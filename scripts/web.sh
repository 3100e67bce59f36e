#!/usr/bin/env bash
# Builds the game for a web page into build-web/page/ with Debian's Emscripten (the
# preset web): the page, the script, the WebAssembly and the packed pictures, font
# and sound, each text-like file beside its brotli and gzip copies. The preset builds
# FreeType, libjpeg-turbo and giflib for it once from Debian's sources, in
# $GAVREMO_CACHE/web. scripts/web.sh --serve then serves the page on 127.0.0.1 (port
# PORT, 8013 by default) with npm's http-server (tests/web/servir.js), which sends those
# copies; --serve-built FOLDER serves a page already built, as --serve would.
set -euo pipefail
# The folder as named from where the script was called.
[ "${1:-}" != --serve-built ] || [ $# -ne 2 ] || set -- "$1" "$(realpath "$2")"
cd "$(dirname "$0")/.."
. scripts/commun.sh
# http-server from tests/web's lockfile, installed there once.
servir() {
  [ -d tests/web/node_modules/http-server ] || (cd tests/web && npm ci --no-audit --no-fund >/dev/null)
  exec node tests/web/servir.js "$1" "${PORT:-8013}" 127.0.0.1
}
case "${1:-}" in
  "" | --serve) ;;
  --serve-built) [ $# -eq 2 ] || echec "usage: scripts/web.sh --serve-built FOLDER"; servir "$2" ;;
  *) echo "usage: scripts/web.sh [--serve | --serve-built FOLDER]" >&2; exit 2 ;;
esac
scripts/installer.sh web
cache_pret
mkdir -p build-web
rm -f build-web/construction.log
journal build-web/construction.log cmake --workflow --preset web
echo "Built build-web/page/: index.html, gavremo.js, gavremo.wasm, sw.js, the manifest and icons, and .br and .gz copies"

if [ "${1:-}" = --serve ]; then
  servir build-web/page
fi
