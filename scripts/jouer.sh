#!/usr/bin/env bash
# Installs what the game lacks, builds it and starts it from the project root,
# where it finds its pictures, font and sound.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/installer.sh jeu
cmake -S . -B build -DBUILD_TESTING=OFF >/dev/null
cmake --build build -j"$(nproc)" --target gavremo >/dev/null
exec ./build/gavremo
