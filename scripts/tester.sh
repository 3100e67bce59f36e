#!/usr/bin/env bash
# Installs what the tests need, builds, and runs every test. The Linux game is
# tested once as built for play, once under AddressSanitizer and
# UndefinedBehaviorSanitizer, and the long random session under valgrind.
# The Windows build is tested under Wine, the page in Chromium. With arguments,
# runs only the platforms named (linux, windows, web), in that order.
set -euo pipefail
cd "$(dirname "$0")/.."
racine=$PWD
plateformes=("$@")
[ ${#plateformes[@]} -gt 0 ] || plateformes=(linux windows web)

linux() {
scripts/installer.sh tests
jobs=$(nproc)

cmake -S . -B build -DBUILD_TESTING=ON >/dev/null
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j2 --timeout 300)

cmake -S . -B build-asan -DGAVREMO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build-asan -j"$jobs"
# The preloaded failure shim comes before the sanitizer's runtime, which is harmless here.
(cd build-asan && LSAN_OPTIONS="suppressions=$racine/tests/lsan.supp" \
  ASAN_OPTIONS="verify_asan_link_order=0:detect_leaks=1" UBSAN_OPTIONS="print_stacktrace=1" \
  ctest --output-on-failure -j2 --timeout 300)

# Every pass is some fifty times slower under valgrind: a shorter session.
echo "valgrind: long random session"
GAVREMO_PASSES=3000 SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
  valgrind -q --error-exitcode=3 --leak-check=full --errors-for-leak-kinds=definite \
  --show-leak-kinds=definite build/tests/test_jeu --gtest_filter='Jeu.LonguePartieAuHasard'

# The game itself: what it keeps to the end (font, sprite, icon, sound) must stay
# reachable. Closed by SIGTERM in play (status 1) or on the game-over screen (0).
echo "valgrind: the game, closed after 8 s"
status=0
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout --preserve-status -s TERM 8 \
  valgrind -q --error-exitcode=3 --leak-check=full --errors-for-leak-kinds=definite \
  --show-leak-kinds=definite build/gavremo >/dev/null || status=$?
if [ "$status" -gt 1 ]; then
  echo "valgrind: the game ended with status $status"
  exit 1
fi
echo "valgrind: clean"
}

# The page built with Emscripten, played in Debian's Chromium through puppeteer-core.
web() {
scripts/installer.sh tests-web
scripts/web.sh
(cd tests/web && npm ci --no-audit --no-fund --loglevel=error && npm test)
}

for plateforme in "${plateformes[@]}"; do
  case "$plateforme" in
    linux) linux ;;
    windows) scripts/windows.sh --tester ;;
    web) web ;;
    *) echo "tester.sh: unknown platform $plateforme (linux, windows, web)" >&2; exit 2 ;;
  esac
done
