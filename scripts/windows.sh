#!/usr/bin/env bash
# Builds the 32-bit Windows game, cross-compiled with mingw-w64, into
# build-windows/gavremo-<version>-win32.zip (the preset windows). The preset builds
# SDL 1.2, SDL_mixer, FreeType, libjpeg-turbo and giflib from Debian's sources once, in
# a cache outside the clone ($GAVREMO_CACHE/win32, by default /var/cache/gavremo/win32).
#   windows.sh --tester   builds it and runs the Windows tests under Wine on Xvfb in a
#                         Debian 12 root of their own (scripts/racine.sh windows), and
#                         copies the release files and the results back to build-windows/;
#   windows.sh --mesurer  in that root, the pass rate under Wine beside that of the
#                         Linux game, then a click's time to the screen with the mouse
#                         still and moving (9 games a rate, or as many as given after
#                         --mesurer).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/commun.sh
if ! dedans windows; then
  case "${1:-}" in
    "") ;;
    --tester | --mesurer)
      # Wine's 32-bit libraries must be the very versions of the 64-bit ones installed,
      # which a mirror with a stale i386 index of the security updates can deny to this
      # machine for days: the root takes both from the release alone.
      statut=0
      dans_racine windows scripts/windows.sh "$@" || statut=$?
      mkdir -p build-windows
      cp "$GAVREMO_CACHE"/windows"$(copie_racine)"/build-windows/{gavremo-*.zip,gavremo-*.exe,gavremo-*.json,ctest-junit.xml} \
        build-windows/ 2>/dev/null || true
      [ $statut = 0 ] || echec "the Windows build, its tests or its measures failed"
      exit ;;
    *) echo "usage: scripts/windows.sh [--tester | --mesurer [GAMES]]" >&2; exit 2 ;;
  esac
fi
projet=$PWD

# Wine with a prefix of its own in the cache, on a virtual display.
wine_sur_xvfb() {
  scripts/installer.sh wine
  xvfb
  en_partant "wineserver -k 2>/dev/null || true"
  # No menu builder: it would write the setup's shortcut as a .desktop file in the real $HOME.
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  prefixe_wine "$GAVREMO_CACHE/win32/wine"
  export WINEPREFIX=$GAVREMO_CACHE/win32/wine
}

# prefixe_wine FOLDER: Wine's prefix, made once on this display (Wine's desktop process
# opens it) aside, and put in place only when whole and at rest: wineboot returns while
# Wine's own processes still set the prefix up, and its server writes the registry to
# disk only as it ends. A half-made prefix, kept, would be taken by every later run, and
# each test's copy of it set up again by Wine. The desktop started once, so that Wine's
# display keys are written before any test compares the registry.
prefixe_wine() {
  local neuf=$1.neuf
  [ ! -e "$1/.gavremo-pret" ] || return 0
  exec 7>"$1.verrou"
  flock 7
  if [ ! -e "$1/.gavremo-pret" ]; then
    rm -rf "$1" "$neuf"
    # Each step has a bound, so that a Wine that hangs (as under qemu-user) stops the run.
    WINEPREFIX=$neuf timeout 600 wineboot -i >"$1.log" 2>&1 ||
      pas_de_prefixe "$neuf" "$1.log" "wineboot -i failed or ran 10 minutes"
    # A window of rundll32's own starts the desktop; what the call returns does not matter.
    WINEPREFIX=$neuf timeout 600 wine rundll32.exe user32.dll,GetDesktopWindow >>"$1.log" 2>&1 || true
    WINEPREFIX=$neuf timeout 600 wineserver -w ||
      pas_de_prefixe "$neuf" "$1.log" "Wine still ran in the new prefix 10 minutes on"
    : >"$neuf/.gavremo-pret"
    mv "$neuf" "$1"
  fi
  flock -u 7
}
pas_de_prefixe() {
  WINEPREFIX=$1 wineserver -k 2>/dev/null || true
  echec "Wine could not make its prefix: $3 (on a kernel that runs no i386 program, Wine's 32-bit side is left to qemu-user, where Wine 8 hangs or fails). $2 ends with: $(tail -n 5 "$2")"
}

# The pass rate of the game under Wine, and of the Linux game on the same display.
mesurer() {
  wine_sur_xvfb
  local essai
  essai=$(mktemp -d /tmp/gavremo_cadenceXXXXXX)
  en_partant "rm -rf $essai"
  unzip -q "build-windows/$nom.zip" -d "$essai"
  cp build-windows/bench/cadence.exe "$essai/$nom/"
  echo "Windows, under Wine:"
  (cd "$essai/$nom" && SDL_AUDIODRIVER=dummy SDL_STDIO_REDIRECT=0 wine cadence.exe | tr -d '\r')
  scripts/installer.sh tests
  cmake --preset linux >/dev/null
  cmake --build --preset linux --target cadence >/dev/null
  echo "Linux:"
  SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy build/bench/cadence
  cmake --preset linux-mesure >/dev/null
  cmake --build --preset linux-mesure --target latence >/dev/null
  echo "Windows, under Wine: click to game-over screen, ${1:-9} games a rate, load: $(cut -d' ' -f1-3 /proc/loadavg)"
  (cd "$essai/$nom" && SDL_AUDIODRIVER=dummy SDL_STDIO_REDIRECT=0 souris "${1:-9}" "$projet/build-bench/bench/latence" wine cadence.exe souris)
  echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
}

! dedans windows || rm -f build-windows/ctest-junit.xml
# Read by tests/windows/CMakeLists.txt as the build configures.
if dedans windows && ! i386_natif; then
  export GAVREMO_SANS_I386=1
  echo "windows.sh: not run here: this kernel runs no i386 program, so no Wine; the tests under Wine are one test, skipped"
fi
scripts/installer.sh windows
cache_pret
version=$(sed -n 's/^project(gavremo VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
nom=gavremo-$version-win32
mkdir -p build-windows
journal build-windows/construction.log cmake --workflow --preset windows
echo "build-windows/$nom.zip"
# In the root, run again there by dans_racine, above.
dedans windows || exit 0
case "${1:-}" in
  --tester)
    modules publication/tests
    [ -n "${GAVREMO_SANS_I386:-}" ] || wine_sur_xvfb
    ctest --preset windows ;;
  --mesurer) mesurer "${2:-}" ;;
esac
