#!/usr/bin/env bash
# Installs what the tests need, builds, and runs every test through CTest: the
# Linux game as built for play, then under AddressSanitizer and
# UndefinedBehaviorSanitizer; the fuzz targets of the Linux and the Windows and web
# readers; the Windows build under Wine; the page in Chromium, Firefox and WebKitGTK;
# the arm64 build under qemu-user, in a root of its own.
# With arguments, tests only the parts named (linux, fuzz, windows, web, arm64), in
# that order; each is tested even when one before it failed, and the failures are named.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/commun.sh
if [ $# -ne 1 ]; then
  [ $# -gt 0 ] || set -- linux fuzz windows web arm64
  rates=()
  for plateforme; do bash scripts/tester.sh "$plateforme" || rates+=("$plateforme"); done
  [ ${#rates[@]} -eq 0 ] || echec "the tests failed on: ${rates[*]}"
  exit 0
fi

# Each test preset writes its results to ctest-junit.xml in its build folder, which
# .ci/run counts: none is left from an earlier run, whatever stops this one.
case "$1" in
  linux) rm -f build/ctest-junit.xml build-asan/ctest-junit.xml ;;
  fuzz | windows | web | arm64) rm -f "build-$1/ctest-junit.xml" ;;
esac
case "$1" in
  linux)
    scripts/installer.sh tests
    modules publication/tests
    for preset in linux linux-asan; do
      cmake --preset $preset >/dev/null
      cmake --build --preset $preset
      ctest --preset $preset
    done ;;
  fuzz)
    scripts/installer.sh tests
    cache_pret
    cmake --preset fuzz >/dev/null
    cmake --build --preset fuzz
    ctest --preset fuzz ;;
  windows) scripts/windows.sh --tester ;;
  arm64) scripts/arm64.sh --tester ;;
  web)
    scripts/installer.sh tests-web
    scripts/web.sh
    modules tests/web publication/tests
    ctest --preset web ;;
  *) echo "tester.sh: unknown part $1 (linux, fuzz, windows, web, arm64)" >&2; exit 2 ;;
esac
