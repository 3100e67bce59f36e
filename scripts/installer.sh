#!/usr/bin/env bash
# Installs the Debian packages the game needs (installer.sh jeu) or that its
# tests and benchmarks need too (installer.sh tests). Does nothing when all are there.
set -euo pipefail
paquets=(cmake g++ make pkg-config libsdl1.2-dev libsdl-image1.2-dev libsdl-ttf2.0-dev libsdl-mixer1.2-dev)
# installer.sh demo: the game and what its self-playing demo needs.
case "${1:-jeu}" in
  demo) paquets+=(xvfb xdotool x11-utils imagemagick) ;;
  tests) paquets+=(libgtest-dev libbenchmark-dev xvfb xdotool x11-utils imagemagick libx11-dev libxtst-dev valgrind) ;;
esac
manquants=()
for p in "${paquets[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || manquants+=("$p")
done
# Debian 12 keeps the classic SDL 1.2, much faster under X than the compatibility
# library over SDL 2 it also offers, which conflicts with it; later releases ship
# only that library, as libsdl1.2-dev.
. /etc/os-release
if [ "${VERSION_CODENAME:-}" = bookworm ] &&
   dpkg-query -W -f='${Status}' libsdl1.2-compat-dev 2>/dev/null | grep -q 'install ok installed'; then
  manquants+=(libsdl1.2debian libsdl1.2-compat-dev- libsdl1.2-compat-shim-)
fi
[ ${#manquants[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
echo "Installing: ${manquants[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq -o DPkg::Lock::Timeout=600 --no-install-recommends "${manquants[@]}" >/dev/null
