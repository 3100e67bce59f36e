#!/usr/bin/env bash
# Builds the .deb, installs it with apt, starts the installed game from another
# folder on a virtual display, checks its window and scene, and removes it.
set -euo pipefail
racine=$(realpath "$(dirname "$0")/..")
construit=$(realpath "$1")
if [ "$(id -u)" -ne 0 ]; then echo "not root: the package is not installed here"; exit 77; fi
if dpkg -s gavremo >/dev/null 2>&1; then echo "gavremo is already installed: left as it is"; exit 1; fi

cd "$construit"
rm -f gavremo_*_amd64.deb
cpack -G DEB >/dev/null
deb=$(ls "$construit"/gavremo_*_amd64.deb)
dossier=$(mktemp -d)
. "$racine/scripts/xvfb.sh"
trap 'kill $xvfb_pid 2>/dev/null; DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq gavremo >/dev/null; rm -rf "$dossier"' EXIT
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null

for f in /usr/bin/gavremo /usr/libexec/gavremo/gavremo /usr/share/gavremo/rsrc_img/target.jpg \
         /usr/share/applications/gavremo.desktop /usr/share/icons/hicolor/48x48/apps/gavremo.png \
         /usr/share/doc/gavremo/copyright /usr/share/doc/gavremo/LICENSE-Blankenburg.txt; do
  [ -e "$f" ] || { echo "missing after install: $f"; exit 1; }
done

cd "$dossier"
SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy gavremo > sortie.txt 2> erreurs.txt &
pid=$!
fenetre=$(timeout 20 xdotool search --sync --name 'Gavremo /by Merulek' | head -n 1)
xdotool getwindowgeometry "$fenetre" | grep -q 'Geometry: 600x600' || { echo "window is not 600x600"; exit 1; }
# The scene: the target's blue ring somewhere, the ground along the bottom.
ok=""
for _ in $(seq 50); do
  import -window "$fenetre" vue.png
  cible=$(convert vue.png -fuzz 25% -fill white -opaque '#0050ff' -fill black +opaque white -format '%w' \
          -trim info: 2>/dev/null)
  sol=$(convert vue.png -format '%[fx:p{590,590}.g > p{590,590}.b && p{590,590}.g > 0.15]' info:)
  [ "${cible:-0}" -gt 20 ] && [ "$sol" = 1 ] && { ok=1; break; }
  sleep 0.1
done
[ -n "$ok" ] || { echo "the installed game does not show its scene"; exit 1; }
kill -TERM $pid
statut=0
wait $pid || statut=$?
# SIGTERM closes the window mid-game: status 1, as for any window closed in play.
[ "$statut" = 1 ] || { echo "status $statut, stderr: $(cat erreurs.txt)"; exit 1; }
echo "package installed, started from $dossier, removed"
