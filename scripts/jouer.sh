#!/usr/bin/env bash
# Installs what the game lacks, builds it and starts it from the project root,
# where it finds its pictures, font and sound. With no display to show it on,
# a demo plays itself on a virtual one and leaves pictures of the game.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ]; then
  echo "No display here: a demo game plays itself on a virtual one instead."
  scripts/installer.sh demo
else
  scripts/installer.sh jeu
fi
cmake --preset linux -DBUILD_TESTING=OFF >/dev/null
cmake --build --preset linux --target gavremo >/dev/null
[ -n "${DISPLAY:-}" ] || exec scripts/demo.sh demo
exec ./build/gavremo
