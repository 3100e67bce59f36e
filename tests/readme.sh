#!/usr/bin/env bash
# The README's Install section, run as written in a new Debian 12 root, as a new user
# would: the commands of its first sh block, one by one, then the installed game
# started as `gavremo` from another folder on a virtual display, showing its scene.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/commun.sh
if ! dedans neuve; then
  if [ "$(id -u)" -ne 0 ]; then echo "not root: no root can be made"; exit 77; fi
  # Inside a root already (the Debian 13 one), / is no mount point: no root in a root.
  if ! mountpoint -q /; then echo "in a root already: the new root is not made here"; exit 77; fi
  dans_racine neuve tests/readme.sh
  exit
fi

commandes=$(sed -n '/^## Install$/,/^## /p' README.md | sed -n '/^```sh$/,/^```$/p' | grep -v '^```') ||
  echec "the README has no Install section with commands"
journal=$(mktemp)
while read -r commande; do
  echo "\$ $commande"
  bash -c "$commande" </dev/null >"$journal" 2>&1 ||
    { tail -n 20 "$journal"; echec "failed in a new Debian 12: $commande"; }
done <<<"$commandes"

# What looks at the game, which the README's user does not need.
scripts/installer.sh demo >/dev/null
xvfb
cd "$(mktemp -d)"
voir_jouer env PATH=$chemin_joueur gavremo
echo "installed by the README's commands in a new Debian 12, and started as gavremo from $PWD"
