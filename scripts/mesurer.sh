#!/usr/bin/env bash
# Builds the benchmark and runs it under SDL's dummy video driver, then in an X
# window on Xvfb. Prints each case beside its bare-SDL twin and their ratio, then
# how long a click takes to show under a flood of pointer motions (three games).
# "mesurer.sh debian13 [ARGS]" measures in the Debian 13 root instead.
# "mesurer.sh son [PRESSES]" times a press to its sound in the page, beside a bare
# page's (50 presses each by default).
# "mesurer.sh appui [PRESSES]" times a press to the page's canvas, a hit in flash mode
# and a miss at score 0, beside a bare page's (10 presses of each by default).
# "mesurer.sh souris [GAMES]" times a click to the screen with the mouse still and
# moving up to 8,000 times a second (9 games a rate by default).
# "mesurer.sh phare [RUNS]" runs Lighthouse on the page and on a bare Emscripten SDL
# page, as scripts/web.sh --serve serves them (3 runs each by default), then traces
# their longest tasks, through a whole game for the page, and counts the bytes a first
# visit transfers.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/commun.sh
if [ "${1:-}" = debian13 ]; then
  shift
  exec scripts/racine.sh debian13 scripts/mesurer.sh "$@"
fi

# Chromium in windows side by side on Xvfb, its sound going to a PulseAudio null sink
# whose monitor tir records, pressing the mouse through XTEST on the same clock.
if [ "${1:-}" = son ] || [ "${1:-}" = appui ]; then
  scripts/installer.sh son-web
  scripts/web.sh >/dev/null
  gcc -O2 -Wall -Wextra -o build-web/tir bench/tir.c -lpulse-simple -lpulse -lX11 -lXtst -lpthread
  [ -d tests/web/node_modules/puppeteer-core ] || (cd tests/web && npm ci --no-audit --no-fund >/dev/null)
  xvfb 1440x1000x24
  if [ "$1" = son ]; then
    echo "== $(chromium --version 2>/dev/null), $(nproc) cores, ${2:-50} presses each, a press to its first sample heard"
    node tests/web/son.js "${2:-50}" build-web/tir
  else
    echo "== $(chromium --version 2>/dev/null), $(nproc) cores, ${2:-10} presses of each, a press to the screen changing"
    node tests/web/appui.js "${2:-10}" build-web/tir
  fi
  exit
fi
if [ "${1:-}" = phare ]; then
  scripts/installer.sh tests-web
  scripts/web.sh >/dev/null
  [ -d tests/web/node_modules/lighthouse ] || (cd tests/web && npm ci --no-audit --no-fund >/dev/null)
  echo "== $(chromium --version 2>/dev/null), $(nproc) cores, load: $(cut -d' ' -f1-3 /proc/loadavg)"
  node tests/web/phare.js "${2:-3}"
  node tests/web/taches.js "${2:-3}"
  node tests/web/octets.js
  exit
fi
scripts/installer.sh tests
. /etc/os-release
echo "== $PRETTY_NAME, SDL $(pkg-config --modversion sdl)"
cmake --preset linux-mesure >/dev/null
cmake --build --preset linux-mesure >/dev/null
if [ "${1:-}" = souris ]; then
  xvfb
  echo "== click to game-over screen, ${2:-9} games a rate, $(nproc) cores, load: $(cut -d' ' -f1-3 /proc/loadavg)"
  SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy souris "${2:-9}" build-bench/bench/latence build-bench/bench/cadence souris
  echo "== load after: $(cut -d' ' -f1-3 /proc/loadavg)"
  exit
fi
export SDL_AUDIODRIVER=dummy
echo "== dummy video driver"
SDL_VIDEODRIVER=dummy build-bench/bench/bench --benchmark_min_time=0.3 --benchmark_repetitions=5 --benchmark_report_aggregates_only=true "$@"
xvfb
echo "== x11 video driver on Xvfb"
SDL_VIDEODRIVER=x11 build-bench/bench/bench --benchmark_min_time=0.3 --benchmark_repetitions=5 --benchmark_report_aggregates_only=true "$@"

echo "== click to game-over screen under 2,000 pointer motions a second (target: 150 ms)"
lent=0
for n in 1 2 3; do
  SDL_VIDEODRIVER=x11 build-bench/gavremo >/dev/null &
  jeu=$!
  fenetre=$(timeout 20 xdotool search --sync --name 'Gavremo /by Merulek' | head -n 1)
  ms=$(build-bench/bench/latence "$fenetre" 2000 | cut -d' ' -f1 | cut -d. -f1) || ms=99999
  kill $jeu 2>/dev/null || true
  wait $jeu 2>/dev/null || true
  echo "game $n: $ms ms"
  [ "$ms" -le 150 ] || lent=1
done
[ $lent = 0 ] || { echo "a click showed later than 150 ms" >&2; exit 1; }
