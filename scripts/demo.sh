#!/usr/bin/env bash
# A bot plays one whole game on a virtual display, as a person would with the
# mouse: it hits targets, misses, lets one escape, loses, and presses a key.
# Pictures of each moment and an animated GIF of them go to the folder given
# (demo/ by default). Exits non-zero if the game did not go as it should.
set -euo pipefail
cd "$(dirname "$0")/.."
sortie=$(realpath -m "${1:-demo}")
jeu=${GAVREMO:-build/gavremo}
mkdir -p "$sortie"
rm -f "$sortie"/*.png "$sortie"/demo.gif
. scripts/commun.sh
xvfb

SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy setpriv --pdeathsig KILL "$jeu" > "$sortie/sortie.txt" &
pid=$!
fenetre=$(timeout 20 xdotool search --sync --name 'Gavremo /by Merulek' | head -n 1)
# Without a window manager xdotool complains of the input focus on every click.
souris() { xdotool "$@" 2>/dev/null; }
k=0
photo() { vue "$fenetre" "$sortie/$(printf %02d $k)-$1.png"; k=$((k + 1)); }
ou_cible() { vue "$fenetre" "$sortie/.vue.png" && cible "$sortie/.vue.png"; }
attendre_cible() { for _ in $(seq 100); do c=$(ou_cible); [ -n "$c" ] && return; sleep 0.1; done; return 1; }

sleep 0.5
photo debut
for n in 1 2; do
  attendre_cible
  souris mousemove --window "$fenetre" $c
  sleep 0.7
  photo vise$n
  souris click 1
  photo touche$n
done
souris mousemove --window "$fenetre" 20 300 click 1
photo rate

# Leave the next target alone until it moves on.
attendre_cible
avant=$c
for _ in $(seq 80); do sleep 0.1; c=$(ou_cible); [ -n "$c" ] && [ "$c" != "$avant" ] && break; done
photo enfuie

for _ in $(seq 300); do vue "$fenetre" "$sortie/.vue.png" && perdu "$sortie/.vue.png" && break; souris click 1; done
photo perdu
# Through XTEST, to the window under the pointer: with --window the key release
# would be sent to a window the press has already closed.
souris key a
statut=0
wait $pid || statut=$?
rm -f "$sortie/.vue.png"
convert -delay 90 -loop 0 "$sortie"/*.png "$sortie/demo.gif"
echo "Demo pictures: $sortie/*.png and $sortie/demo.gif"
if [ "$statut" != 0 ] || [ "$(cat "$sortie/sortie.txt")" != "Exited cleanly" ]; then
  echo "The demo game did not end cleanly (status $statut)" >&2
  exit 1
fi
