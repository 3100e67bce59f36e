#!/usr/bin/env bash
# Builds the 32-bit Windows game, cross-compiled with mingw-w64, into
# build-windows/gavremo-<version>-win32.zip (the preset windows). SDL 1.2, SDL_mixer,
# FreeType, libjpeg-turbo and giflib are built from Debian's sources once and kept in
# a cache outside the clone ($GAVREMO_CACHE/win32, by default /var/cache/gavremo/win32).
#   windows.sh --tester   then runs the Windows tests under Wine on Xvfb;
#   windows.sh --mesurer  the pass rate under Wine beside that of the Linux game, then
#                         a click's time to the screen with the mouse still and moving
#                         (9 games a rate, or as many as given after --mesurer).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/commun.sh
case "${1:-}" in
  "" | --tester | --mesurer) ;;
  *) echo "usage: scripts/windows.sh [--tester | --mesurer [GAMES]]" >&2; exit 2 ;;
esac
racine=$PWD
hote=i686-w64-mingw32
cache=$GAVREMO_CACHE/win32   # where mingw32.cmake looks
prefixe=$cache/i686

# SDL 1.2 with its windib video and disk audio, SDL_mixer reading WAV only, the
# libraries that read the pictures and the font, and GoogleTest for the tests. Each
# is built once: its stamp in the cache says so.
dependances() {
  cache_pret
  mkdir -p "$prefixe/licences" "$cache/obj"
  if [ ! -e "$prefixe/.sdl" ]; then
    sources libsdl1.2 "$cache/src"
    sources sdl-mixer1.2 "$cache/src"
    rm -rf "$cache/obj/sdl" "$cache/obj/mixer" && mkdir -p "$cache/obj/sdl" "$cache/obj/mixer"
    # Without -static-libgcc the DLLs would need libgcc's own DLL beside them.
    local cc="CC=$hote-gcc-win32 -static-libgcc"
    cd "$cache/obj/sdl"
    journal "$cache/obj/sdl.log" "$cache"/src/libsdl1.2-*/configure --host=$hote --prefix="$prefixe" "$cc" \
      --disable-static --disable-directx --disable-nasm --disable-joystick --disable-cdrom
    journal "$cache/obj/sdl.log" make -j2 install
    cd "$cache/obj/mixer"
    journal "$cache/obj/mixer.log" "$cache"/src/sdl-mixer1.2-*/configure --host=$hote --prefix="$prefixe" "$cc" \
      --with-sdl-prefix="$prefixe" --disable-static --disable-music-mod --disable-music-midi \
      --disable-music-ogg --disable-music-flac --disable-music-mp3 --disable-music-mp3-mad-gpl
    journal "$cache/obj/mixer.log" make -j2 install-hdrs install-lib
    cd "$racine"
    touch "$prefixe/.sdl"
  fi
  # What the zip takes as it is: the DLLs stripped, the licences under their own names.
  $hote-strip "$prefixe"/bin/SDL.dll "$prefixe"/bin/SDL_mixer.dll
  cp "$cache"/src/libsdl1.2-*/COPYING "$prefixe"/licences/SDL.txt
  cp "$cache"/src/sdl-mixer1.2-*/COPYING "$prefixe"/licences/SDL_mixer.txt
  bibliotheques win32
  if [ ! -e "$prefixe/.gtest" ]; then
    journal "$cache/obj/gtest.log" cmake -S /usr/src/googletest -B "$cache/obj/gtest" \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$racine/plateforme/windows/mingw32.cmake" \
      -DBUILD_GMOCK=OFF -DCMAKE_INSTALL_PREFIX="$prefixe"
    journal "$cache/obj/gtest.log" cmake --build "$cache/obj/gtest" -j2
    journal "$cache/obj/gtest.log" cmake --install "$cache/obj/gtest"
    touch "$prefixe/.gtest"
  fi
}

# Wine with a prefix of its own in the cache, on a virtual display.
wine_sur_xvfb() {
  scripts/installer.sh wine
  xvfb
  en_partant "wineserver -k 2>/dev/null || true"
  # Made on this display: Wine's desktop process, kept by the prefix's server, opens it once.
  export WINEPREFIX=$cache/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  [ -e "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
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
  (cd "$essai/$nom" && SDL_AUDIODRIVER=dummy SDL_STDIO_REDIRECT=0 souris "${1:-9}" "$racine/build-bench/bench/latence" wine cadence.exe souris)
  echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
}

scripts/installer.sh windows
dependances
version=$(sed -n 's/^project(gavremo VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
nom=gavremo-$version-win32
mkdir -p build-windows
journal build-windows/construction.log cmake --workflow --preset windows
echo "build-windows/$nom.zip"
case "${1:-}" in
  --tester)
    wine_sur_xvfb
    ctest --preset windows ;;
  --mesurer) mesurer "${2:-}" ;;
esac
