#!/usr/bin/env bash
# Builds the benchmark and runs it under SDL's dummy video driver, then in an X
# window on Xvfb. Prints each case beside its bare-SDL twin and their ratio, then
# how long a click takes to show under a flood of pointer motions (three games).
# "mesurer.sh debian13 [ARGS]" and "mesurer.sh unstable [ARGS]" measure in the Debian 13
# or unstable root instead. Beyond Debian 12, the benchmark runs again in a Wayland
# session, weston headless, with Xwayland and without, and the bare loop under each
# renderer the compatibility library offers: the fastest is the game's floor.
# "mesurer.sh son-bureau [PRESSES]" times a press to its sound, the game's beside a bare
# SDL_mixer loop's, on a PulseAudio null sink (30 presses each by default).
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
if [ "${1:-}" = debian13 ] || [ "${1:-}" = unstable ]; then
  racine=$1
  shift
  exec scripts/racine.sh "$racine" scripts/mesurer.sh "$@"
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
# wayland [--xwayland]: a Wayland session of weston headless, with the X display its
# Xwayland serves or none; SDL picks the driver itself, as in a desktop session.
wayland() {
  local dossier
  dossier=$(mktemp -d)
  XDG_RUNTIME_DIR=$dossier weston --backend=headless --socket=gavremo "$@" --log="$dossier/journal" 2>/dev/null &
  en_partant "kill $! 2>/dev/null; rm -rf '$dossier'"
  for _ in $(seq 400); do [ -S "$dossier/gavremo" ] && break; sleep 0.05; done
  [ -S "$dossier/gavremo" ] || echec "weston did not start"
  export XDG_RUNTIME_DIR=$dossier WAYLAND_DISPLAY=gavremo
  unset DISPLAY SDL_VIDEODRIVER
  if [ "${1:-}" = --xwayland ]; then
    for _ in $(seq 400); do grep -q 'xserver listening' "$dossier/journal" && break; sleep 0.05; done
    DISPLAY=$(grep -o 'xserver listening on display :[0-9]*' "$dossier/journal" | grep -o ':[0-9]*$') ||
      echec "Xwayland did not start"
    export DISPLAY
  fi
}
if [ "${1:-}" = son-bureau ]; then
  installer pulseaudio libpulse-dev gcc
  gcc -O2 -Wall -Wextra -o build-bench/bench/tir bench/tir.c -lpulse-simple -lpulse -lX11 -lXtst -lpthread
  pulse=$(mktemp -d)
  HOME=$pulse pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
    --load="module-null-sink sink_name=gavremo rate=48000" \
    --load="module-native-protocol-unix socket=$pulse/prise auth-anonymous=1" 2>/dev/null &
  en_partant "kill $!; rm -rf '$pulse'"
  for _ in $(seq 200); do [ -S "$pulse/prise" ] && break; sleep 0.05; done
  export PULSE_SERVER=unix:$pulse/prise
  xvfb 1440x800x24
  # The game and the bare loop side by side, each pressed in turn above the targets.
  build-bench/bench/cadence son >/dev/null 2>&1 &
  en_partant "kill $!"
  jeu=$(timeout 20 xdotool search --sync --name '^Gavremo /by Merulek$' | head -n 1)
  build-bench/bench/cadence son-nu >/dev/null 2>&1 &
  en_partant "kill $!"
  nu=$(timeout 20 xdotool search --sync --name '^nu$' | head -n 1)
  xdotool windowmove --sync "$jeu" 0 0 windowmove --sync "$nu" 720 0
  sleep 1
  lignes=$(for ((n = 0; n <= ${2:-30}; n++)); do echo "30 60 1"; echo "750 60 1"; done |
             build-bench/bench/tir gavremo.monitor)
  echo "== a press to its first sample heard, $(nproc) cores, load: $(cut -d' ' -f1-3 /proc/loadavg)"
  # The first press of each is not counted.
  mediane() { tail -n +2 | grep -v '^-' | sort -g | awk '{ v[NR] = $1 } END { print NR ? v[int((NR + 1) / 2)] : 0, NR }'; }
  read -r j nj < <(sed -n 'p;n' <<<"$lignes" | mediane)
  read -r b nb < <(sed -n 'n;p' <<<"$lignes" | mediane)
  echo "game: $j ms ($nj of ${2:-30} heard), bare SDL_mixer loop: $b ms ($nb heard)," \
       "game / bare = $(awk -v j="$j" -v b="$b" 'BEGIN { print b ? j / b : "-" }')"
  exit
fi
if [ "${1:-}" = souris ]; then
  xvfb
  echo "== click to game-over screen, ${2:-9} games a rate, $(nproc) cores, load: $(cut -d' ' -f1-3 /proc/loadavg)"
  SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy souris "${2:-9}" build-bench/bench/latence build-bench/bench/cadence souris
  echo "== load after: $(cut -d' ' -f1-3 /proc/loadavg)"
  # In a Wayland session XTEST reaches X windows alone: the game's, through Xwayland.
  if [ "$VERSION_CODENAME" != bookworm ]; then
    (a_la_fin=""
     wayland --xwayland
     echo "== the same in a Wayland session, weston headless with Xwayland, load: $(cut -d' ' -f1-3 /proc/loadavg)"
     SDL_AUDIODRIVER=dummy souris "${2:-9}" build-bench/bench/latence build-bench/bench/cadence souris
     echo "== load after: $(cut -d' ' -f1-3 /proc/loadavg)")
  fi
  exit
fi
export SDL_AUDIODRIVER=dummy
# The repetitions of every case interleaved, so that the load of other work falls on
# the game and its floor alike.
banc() {
  echo "== load before: $(cut -d' ' -f1-3 /proc/loadavg)"
  build-bench/bench/bench --benchmark_min_time=0.3 --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_enable_random_interleaving=true "$@"
  echo "== load after: $(cut -d' ' -f1-3 /proc/loadavg)"
}
echo "== dummy video driver"
SDL_VIDEODRIVER=dummy banc "$@"
xvfb
echo "== x11 video driver on Xvfb"
SDL_VIDEODRIVER=x11 banc "$@"

# SDL 3 on Wayland (weston 16) sometimes never returns from opening a window, waiting
# in libdecor, once its process has opened and closed others. So there each plain pass
# runs in a process of its own, the cases taking turns five times, and the medians are
# printed: the clock's, then the CPU's.
un_par_un() {
  local n c lignes h r cpu
  echo "== load before: $(cut -d' ' -f1-3 /proc/loadavg)"
  lignes=$(for n in 1 2 3 4 5; do
             for c in PasseJeu PasseNue PasseNue/sdl PasseNue/software PasseNue/opengl PasseNue/opengles2 \
                      PasseNue/x11_software_fb0; do
               timeout 60 build-bench/bench/bench --benchmark_filter="^$c\$" --benchmark_min_time=0.3 2>/dev/null |
                 awk -v c="$c" '$1 == c && $2 + 0 > 0 { print c, $2, $4 }'
             done
           done)
  mediane() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)], NR }'; }
  for c in $(cut -d' ' -f1 <<<"$lignes" | sort -u); do
    read -r h r < <(awk -v c="$c" '$1 == c { print $2 }' <<<"$lignes" | mediane)
    read -r cpu _ < <(awk -v c="$c" '$1 == c { print $3 }' <<<"$lignes" | mediane)
    awk -v c="$c" -v h="$h" -v cpu="$cpu" -v r="$r" \
      'BEGIN { printf "%-28s clock %8.0f ns (%.0f passes a second), CPU %8.0f ns, %d runs\n", c, h, 1e9 / h, cpu, r }'
  done
  echo "== load after: $(cut -d' ' -f1-3 /proc/loadavg)"
}
if [ "$VERSION_CODENAME" != bookworm ]; then
  (a_la_fin=""
   wayland --xwayland
   echo "== a Wayland session, weston $(weston --version | cut -d' ' -f2) headless with Xwayland"
   un_par_un)
  (a_la_fin=""
   wayland
   echo "== a Wayland session, weston headless alone"
   un_par_un)
fi

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
