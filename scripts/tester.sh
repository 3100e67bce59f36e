#!/usr/bin/env bash
# Installs what the tests need, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/installer.sh tests
cmake -S . -B build >/dev/null
cmake --build build -j"$(nproc)"
cd build
ctest --output-on-failure -j2 --timeout 300
