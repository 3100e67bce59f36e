#!/usr/bin/env bash
# Builds the 32-bit Windows game, cross-compiled with mingw-w64, into
# build-windows/gavremo-<version>-win32.zip. SDL 1.2 and SDL_mixer are built from
# Debian's sources once and kept in a cache outside the clone for later runs
# ($GAVREMO_CACHE, by default /var/cache/gavremo/win32, or ~/.cache for others than root).
# windows.sh --tester then runs the Windows tests under Wine on Xvfb, and
# windows.sh --mesurer the pass rate under Wine beside that of the Linux game.
set -euo pipefail
cd "$(dirname "$0")/.."
racine=$PWD
hote=i686-w64-mingw32
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
cache=${GAVREMO_CACHE:-/var/cache/gavremo/win32}
[ -z "$sudo" ] || cache=${GAVREMO_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/gavremo/win32}
prefixe=$cache/i686

# Debian's sources of a package, fetched once. apt-get source needs a deb-src entry:
# one mirroring the machine's own Debian entry is added when there is none.
sources() {
  local dossier=$cache/src
  compgen -G "$dossier/$1-[0-9]*/" >/dev/null && return 0
  if ! grep -rqs '^Types:.*deb-src\|^deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    if [ -e /etc/apt/sources.list.d/debian.sources ]; then
      sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
        | $sudo tee /etc/apt/sources.list.d/gavremo-src.sources >/dev/null
    else
      sed -n 's/^deb /deb-src /p' /etc/apt/sources.list | $sudo tee /etc/apt/sources.list.d/gavremo-src.list >/dev/null
    fi
    $sudo apt-get update -qq
  fi
  mkdir -p "$dossier"
  (cd "$dossier" && apt-get source -qq "$1" >/dev/null 2>&1)
}

# SDL 1.2 with its windib video and disk audio, SDL_mixer reading WAV only, and
# GoogleTest for the tests. Each is built once: its stamp in the cache says so.
# A failed step shows the end of its log.
journal() {
  local log=$cache/obj/$1.log
  shift
  "$@" >"$log" 2>&1 || { tail -n 30 "$log"; echo "windows.sh: failed, see $log" >&2; exit 1; }
}
dependances() {
  mkdir -p "$prefixe" "$cache/obj"
  if [ ! -e "$prefixe/.sdl" ]; then
    sources libsdl1.2
    sources sdl-mixer1.2
    rm -rf "$cache/obj/sdl" "$cache/obj/mixer" && mkdir -p "$cache/obj/sdl" "$cache/obj/mixer"
    # Without -static-libgcc the DLLs would need libgcc's own DLL beside them.
    local cc="CC=$hote-gcc-win32 -static-libgcc"
    cd "$cache/obj/sdl"
    journal sdl "$cache"/src/libsdl1.2-*/configure --host=$hote --prefix="$prefixe" "$cc" \
      --disable-static --disable-directx --disable-nasm --disable-joystick --disable-cdrom
    journal sdl make -j2 install
    cd "$cache/obj/mixer"
    journal mixer "$cache"/src/sdl-mixer1.2-*/configure --host=$hote --prefix="$prefixe" "$cc" \
      --with-sdl-prefix="$prefixe" --disable-static --disable-music-mod --disable-music-midi \
      --disable-music-ogg --disable-music-flac --disable-music-mp3 --disable-music-mp3-mad-gpl
    journal mixer make -j2 install-hdrs install-lib
    cd "$racine"
    touch "$prefixe/.sdl"
  fi
  if [ ! -e "$prefixe/.gtest" ]; then
    journal gtest cmake -S /usr/src/googletest -B "$cache/obj/gtest" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$racine/plateforme/windows/mingw32.cmake" -DBUILD_GMOCK=OFF \
      -DCMAKE_INSTALL_PREFIX="$prefixe"
    journal gtest cmake --build "$cache/obj/gtest" -j2
    journal gtest cmake --install "$cache/obj/gtest"
    touch "$prefixe/.gtest"
  fi
}

# The game in a folder of its own, zipped.
construire() {
  cmake -S plateforme/windows -B build-windows -DCMAKE_TOOLCHAIN_FILE="$racine/plateforme/windows/mingw32.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DSDL_PREFIXE="$prefixe" -DGTest_DIR="$prefixe/lib/cmake/GTest" \
    -DBUILD_TESTING=ON >/dev/null
  cmake --build build-windows -j2 >/dev/null
  local dossier=build-windows/$nom
  rm -rf "$dossier" "build-windows/$nom.zip"
  mkdir -p "$dossier"
  cp build-windows/gavremo.exe "$prefixe"/bin/SDL.dll "$prefixe"/bin/SDL_mixer.dll "$dossier"/
  i686-w64-mingw32-strip "$dossier"/*.exe "$dossier"/*.dll
  cp -r rsrc_img font son "$dossier"/
  mv "$dossier"/font/LICENSE-Blankenburg.txt "$dossier"/
  sed "s/\$/\r/" plateforme/windows/LISEZ-MOI.txt > "$dossier"/LISEZ-MOI.txt
  cp "$cache"/src/libsdl1.2-*/COPYING "$dossier"/LICENSE-SDL.txt
  cp "$cache"/src/sdl-mixer1.2-*/COPYING "$dossier"/LICENSE-SDL_mixer.txt
  cp /usr/share/doc/libstb-dev/copyright "$dossier"/LICENSE-stb.txt
  cp paquet/copyright "$dossier"/LICENSE-Gavremo.txt
  cp /usr/share/doc/mingw-w64-i686-dev/copyright "$dossier"/LICENSE-mingw-w64.txt
  (cd build-windows && zip -qr "$nom.zip" "$nom")
  echo "build-windows/$nom.zip"
}

# Wine with a prefix of its own in the cache, and a virtual display.
wine_sur_xvfb() {
  scripts/installer.sh wine
  essai=$(mktemp -d /tmp/gavremo_essaiXXXXXX)
  Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 800x700x24 3>"$essai/affichage" 2>/dev/null &
  xvfb=$!
  trap 'kill $xvfb; wineserver -k 2>/dev/null || true; rm -rf "$essai"' EXIT
  for _ in $(seq 100); do [ -s "$essai/affichage" ] && break; sleep 0.1; done
  export DISPLAY=:$(cat "$essai/affichage")
  # Made on this display: Wine's desktop process, kept by the prefix's server, opens it once.
  export WINEPREFIX=$cache/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  [ -e "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
  unzip -q "build-windows/$nom.zip" -d "$essai"
}

# The stand-ins' unit tests, the game from its zip and the demo.
tester() {
  wine_sur_xvfb
  cp build-windows/tests/test_plateforme.exe "$essai/$nom/"
  (cd "$essai/$nom" && wine test_plateforme.exe)
  tests/windows/partie.sh "build-windows/$nom.zip"
  # The demo brings its own display: Wine starts afresh on it.
  wineserver -w
  GAVREMO="$racine/tests/windows/gavremo-wine.sh" GAVREMO_EXE="$racine/build-windows/$nom/gavremo.exe" \
    scripts/demo.sh build-windows/demo
}

# The pass rate of the game under Wine, and of the Linux game on the same display.
mesurer() {
  wine_sur_xvfb
  cp build-windows/cadence.exe "$essai/$nom/"
  echo "Windows, under Wine:"
  (cd "$essai/$nom" && SDL_AUDIODRIVER=dummy wine cadence.exe | tr -d '\r')
  scripts/installer.sh jeu
  g++ -std=c++17 -O2 -Isrc bench/cadence.cpp src/{demarrage,boucle,regles,perdu,son}.cpp \
    $(pkg-config --cflags --libs sdl SDL_image SDL_ttf SDL_mixer) -o build-windows/cadence-linux
  echo "Linux:"
  SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy build-windows/cadence-linux
}

scripts/installer.sh windows
dependances
version=$(sed -n 's/^project(gavremo VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
nom=gavremo-$version-win32
construire
case "${1:-}" in
  --tester) tester ;;
  --mesurer) mesurer ;;
esac
