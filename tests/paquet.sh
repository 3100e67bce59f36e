#!/usr/bin/env bash
# Builds the .deb, checks it with lintian, checks its program's hardening and
# that no path of this machine went into either package; then, as root,
# installs it with apt, checks the layout and the validators, starts the
# installed game from another folder as its menu entry does, on a virtual
# display, checks its window and scene, and removes it.
set -euo pipefail
racine=$(realpath "$(dirname "$0")/..")
construit=$(realpath "$1")
. "$racine/scripts/commun.sh"

cd "$construit"
rm -f gavremo_*.deb gavremo-dbgsym_*.ddeb
cpack -G DEB >/dev/null
deb=$(ls "$construit"/gavremo_*.deb)
ddeb=$(ls "$construit"/gavremo-dbgsym_*.ddeb)
avis=$(lintian --fail-on error,warning "$deb" "$ddeb" 2>&1) || { echo "lintian: $avis"; exit 1; }
dossier=$(mktemp -d)
en_partant "rm -rf '$dossier'"

# Every check but control-flow protection, which Debian's C library cannot give
# (docs/paquet.md); stack clash protection may only be "unknown". Branch
# protection is arm64's, but Debian 13's hardening-check asks it of amd64 too.
dpkg-deb -R "$deb" "$dossier/deb"
dpkg-deb -R "$ddeb" "$dossier/ddeb"
sauf=(--nocfprotection)
aide=$(hardening-check --help 2>&1 || true)
[[ "$aide" != *--nobranchprotection* ]] || sauf+=(--nobranchprotection)
avis=$(hardening-check "${sauf[@]}" "$dossier/deb/usr/libexec/gavremo/gavremo") ||
  { echo "hardening-check: $avis"; exit 1; }
for chemin in "$racine" "$construit"; do
  statut=0
  trouves=$(grep -r -l --binary-files=text -F "$chemin" "$dossier/deb" "$dossier/ddeb") || statut=$?
  [ "$statut" = 1 ] || { echo "$chemin is written in: $trouves"; exit 1; }
done
rm -rf "$dossier/deb" "$dossier/ddeb"

if [ "$(id -u)" -ne 0 ]; then echo "not root: the package is not installed here"; exit 77; fi
if installe gavremo; then echo "gavremo is already installed: left as it is"; exit 1; fi
xvfb
en_partant "! installe gavremo || DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq -o DPkg::Lock::Timeout=600 gavremo >/dev/null"
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq -o DPkg::Lock::Timeout=600 "$deb" >/dev/null

for f in /usr/games/gavremo /usr/libexec/gavremo/gavremo /usr/share/games/gavremo/rsrc_img/target.jpg \
         /usr/share/games/gavremo/font/MorrisRomanBlack.ttf /usr/share/games/gavremo/son/pan.wav \
         /usr/share/applications/gavremo.desktop /usr/share/icons/hicolor/48x48/apps/gavremo.png \
         /usr/share/icons/hicolor/scalable/apps/gavremo.svg /usr/share/doc/gavremo/copyright \
         /usr/share/doc/gavremo/changelog.gz /usr/share/metainfo/org.example.gavremo.metainfo.xml; do
  [ -e "$f" ] || { echo "missing after install: $f"; exit 1; }
done
[ "$(man -w gavremo)" = /usr/share/man/man6/gavremo.6.gz ] || { echo "man gavremo: no page"; exit 1; }
avis=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l /usr/share/man/man6/gavremo.6.gz 2>&1 >/dev/null)
[ -z "$avis" ] || { echo "manual page: $avis"; exit 1; }
appstreamcli validate --no-net /usr/share/metainfo/org.example.gavremo.metainfo.xml >/dev/null \
  || { appstreamcli validate --no-net /usr/share/metainfo/org.example.gavremo.metainfo.xml; exit 1; }
desktop-file-validate /usr/share/applications/gavremo.desktop

# The menu entry's command, run as a desktop session would: from some other
# folder, with Debian's PATH for users.
commande=$(sed -n 's/^Exec=//p' /usr/share/applications/gavremo.desktop)
cd "$dossier"
voir_jouer env PATH=$chemin_joueur $commande

DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq -o DPkg::Lock::Timeout=600 gavremo >/dev/null
for f in /usr/games/gavremo /usr/libexec/gavremo /usr/share/games/gavremo; do
  [ ! -e "$f" ] || { echo "left after removal: $f"; exit 1; }
done
echo "package lintian-clean, hardened, free of local paths, installed, started from its menu entry in $dossier, removed"
