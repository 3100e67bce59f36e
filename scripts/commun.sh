# Sourced by every script and shell test: what more than one of them needs.

# Root does it directly, anyone else through sudo.
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo

# What is built once from Debian's sources, kept outside the clone for every later run.
GAVREMO_CACHE=${GAVREMO_CACHE:-/var/cache/gavremo}
cache_pret() { [ -w "$GAVREMO_CACHE" ] || $sudo install -d -o "$(id -u)" -g "$(id -g)" "$GAVREMO_CACHE"; }

# Says which script failed and why, and stops it.
echec() {
  echo "$(basename "$0"): $*" >&2
  exit 1
}

# Commands to run when the script ends, however it ends, last added first.
a_la_fin=""
en_partant() {
  a_la_fin="$1; $a_la_fin"
  trap 'eval "$a_la_fin"' EXIT
}

installe() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

# Installs the Debian packages named that are not installed yet; "name-" removes one.
installer() {
  local manquants=() p
  for p; do
    case "$p" in
      *-) ! installe "${p%-}" || manquants+=("$p") ;;
      *) installe "$p" || manquants+=("$p") ;;
    esac
  done
  [ ${#manquants[@]} -gt 0 ] || return 0
  echo "Installing: ${manquants[*]}"
  $sudo apt-get update -qq || echec "apt-get update failed"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq -o DPkg::Lock::Timeout=600 \
    --no-install-recommends "${manquants[@]}" >/dev/null || echec "could not install ${manquants[*]}"
}

# The Debian archive apt uses here (not its security one).
miroir() {
  local f sources=()
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [ ! -e "$f" ] || sources+=("$f")
  done
  grep -hE '^(URIs:|deb )' "${sources[@]}" /dev/null | grep -v security | grep -oE -m1 'https?://[^ ]+' ||
    echec "no Debian archive in apt's sources"
}

# Debian's sources of a package, fetched once: sources PAQUET DOSSIER [SUITE]. apt-get
# source needs a deb-src entry: one for the machine's own Debian archive is added when
# it lacks one. A source this release no longer has (Debian 13 has no SDL 1.2 of its
# own) comes from Debian 12's; with SUITE, it comes from that suite whatever the release.
depot_sources() {
  local fichier=/etc/apt/sources.list.d/gavremo-$1-src.sources m
  [ ! -e "$fichier" ] || return 0
  m=$(miroir)
  printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: main\nSigned-By: %s\n' "$m" "$1" \
    /usr/share/keyrings/debian-archive-keyring.gpg | $sudo tee "$fichier" >/dev/null
  $sudo apt-get update -qq || echec "apt-get update failed with $fichier"
}
sources() {
  local dossier=$2 suite=${3:-} racine=$PWD
  compgen -G "$dossier/$1-[0-9]*/" >/dev/null && return 0
  cache_pret
  # apt-get source unpacks with dpkg-source.
  installer dpkg-dev
  mkdir -p "$dossier"
  cd "$dossier"
  if [ -n "$suite" ]; then
    if ! apt-get source -qq "$1/$suite" >/dev/null 2>&1; then
      depot_sources "$suite"
      apt-get source -qq "$1/$suite" >/dev/null 2>&1 || echec "apt-get source $1 from $suite failed"
    fi
  elif ! apt-get source -qq "$1" >/dev/null 2>&1; then
    . /etc/os-release
    depot_sources "$VERSION_CODENAME"
    if ! apt-get source -qq "$1" >/dev/null 2>&1; then
      [ "$VERSION_CODENAME" != bookworm ] || echec "apt-get source $1 failed"
      depot_sources bookworm
      apt-get source -qq "$1/bookworm" >/dev/null 2>&1 ||
        echec "apt-get source $1 failed, from $VERSION_CODENAME and from bookworm"
    fi
  fi
  cd "$racine"
}

# Runs a long step with its output in a log; on failure shows the log's end and stops.
journal() {
  local log=$1
  shift
  "$@" >>"$log" 2>&1 || { tail -n 30 "$log" >&2; echec "failed: $* (log: $log)"; }
}

# FreeType, libjpeg-turbo and giflib as static libraries for one target, built once
# from Debian 12's sources: bibliotheques win32|web|fuzz. The Windows and web games
# read their pictures and fonts through them, and Debian 12's keep that text and
# those pictures the same as the Linux game's; the fuzz targets reach them.
bibliotheques() {
  local cible=$1 src=$GAVREMO_CACHE/src obj=$GAVREMO_CACHE/$1/obj prefixe cc ar f
  local cflags=(-O2) outils=()
  case "$cible" in
    win32) prefixe=$GAVREMO_CACHE/win32/i686 cc=i686-w64-mingw32-gcc-posix ar=i686-w64-mingw32-ar
           outils=(-DCMAKE_TOOLCHAIN_FILE="$PWD/plateforme/windows/mingw32.cmake") ;;
    web) prefixe=$GAVREMO_CACHE/web cc=emcc ar=emar
         # CMake runs its checks' programs under node, where Emscripten 3.1.6 would fetch
         # the .wasm beside them as from a server: in a single file they just run. The
         # policy has those checks link with these flags too.
         outils=(-DCMAKE_TOOLCHAIN_FILE=/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake
                 -DCMAKE_EXE_LINKER_FLAGS=-sSINGLE_FILE -DCMAKE_POLICY_DEFAULT_CMP0056=NEW)
         # Emscripten run by Debian's python3, not the first one on PATH, and its linker
         # finding Debian's acorn whatever node runs it.
         local -x EMSDK_PYTHON=/usr/bin/python3 NODE_PATH=/usr/share/nodejs ;;
    fuzz) prefixe=$GAVREMO_CACHE/fuzz cc=clang ar=ar outils=(-DCMAKE_C_COMPILER=clang)
          cflags=("-fsanitize=fuzzer-no-link,address,undefined" -fno-omit-frame-pointer -g -O1) ;;
    *) echec "bibliotheques: win32, web or fuzz, not $cible" ;;
  esac
  # As Debian builds them: no build type, the flags given whole.
  local cmake=(cmake "${outils[@]}" -DCMAKE_BUILD_TYPE=None -DCMAKE_C_FLAGS="${cflags[*]}"
               -DBUILD_SHARED_LIBS=OFF -DCMAKE_INSTALL_PREFIX="$prefixe" -DCMAKE_INSTALL_LIBDIR=lib)
  cache_pret
  mkdir -p "$prefixe/lib" "$prefixe/include" "$prefixe/licences" "$obj"
  sources freetype "$src" bookworm
  sources libjpeg-turbo "$src" bookworm
  sources giflib "$src" bookworm
  local ft=("$src"/freetype-[0-9]*) jpeg=("$src"/libjpeg-turbo-[0-9]*) gif=("$src"/giflib-[0-9]*)

  if [ ! -e "$prefixe/.freetype" ]; then
    rm -rf "$obj/freetype" "$obj/freetype.log"
    # FreeType's own zlib for compressed fonts and nothing else from outside: Debian's
    # ftoption.h stays as it is.
    journal "$obj/freetype.log" "${cmake[@]}" -S "${ft[0]}" -B "$obj/freetype" -DFT_DISABLE_HARFBUZZ=ON \
      -DFT_DISABLE_PNG=ON -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_BROTLI=ON
    journal "$obj/freetype.log" cmake --build "$obj/freetype" -j2
    journal "$obj/freetype.log" cmake --install "$obj/freetype"
    touch "$prefixe/.freetype"
  fi

  if [ ! -e "$prefixe/.jpeg" ]; then
    rm -rf "$obj/jpeg" "$obj/jpeg.log"
    # No SIMD: no nasm here, and none in WebAssembly.
    journal "$obj/jpeg.log" "${cmake[@]}" -S "${jpeg[0]}" -B "$obj/jpeg" -DENABLE_SHARED=OFF \
      -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF
    journal "$obj/jpeg.log" cmake --build "$obj/jpeg" -j2 --target jpeg-static
    # By hand: its install wants the tools too.
    cp "$obj/jpeg/libjpeg.a" "$prefixe/lib/"
    cp "${jpeg[0]}"/{jpeglib.h,jmorecfg.h,jerror.h} "$obj/jpeg/jconfig.h" "$prefixe/include/"
    touch "$prefixe/.jpeg"
  fi

  if [ ! -e "$prefixe/.gif" ]; then
    rm -rf "$obj/gif" "$obj/gif.log" "$prefixe/lib/libgif.a"
    mkdir -p "$obj/gif"
    # giflib's Makefile knows only the host: its decoder, compiled here.
    for f in dgif_lib gifalloc gif_err gif_hash openbsd-reallocarray; do
      journal "$obj/gif.log" "$cc" "${cflags[@]}" -std=gnu99 -Wall -c "${gif[0]}/$f.c" -o "$obj/gif/$f.o"
    done
    journal "$obj/gif.log" "$ar" rcs "$prefixe/lib/libgif.a" "$obj"/gif/*.o
    cp "${gif[0]}/gif_lib.h" "$prefixe/include/"
    touch "$prefixe/.gif"
  fi

  cat "${ft[0]}/docs/FTL.TXT" "${ft[0]}/debian/copyright" >"$prefixe/licences/FreeType.txt"
  cat "${jpeg[0]}/LICENSE.md" "${jpeg[0]}/README.ijg" >"$prefixe/licences/libjpeg-turbo.txt"
  cp "${gif[0]}/COPYING" "$prefixe/licences/giflib.txt"
}

# Starts Xvfb on a display it picks itself, exports DISPLAY, and stops it at the end;
# xvfb WxHxD for a screen other than 800x700x24. A display picked by looking for lock
# files could be one a chroot has already taken.
xvfb() {
  local numero
  numero=$(mktemp)
  Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 "${1:-800x700x24}" 3>"$numero" 2>/dev/null &
  en_partant "kill $! 2>/dev/null"
  # Xvfb writes the number, then a newline, once it takes clients.
  for _ in $(seq 400); do [ "$(wc -l <"$numero")" -ge 1 ] && break; sleep 0.05; done
  [ -s "$numero" ] || echec "Xvfb did not start"
  export DISPLAY=:$(head -n 1 "$numero")
  rm -f "$numero"
}

# What the game's window shows, as seen by the player: vue FENETRE FICHIER takes a
# picture of it, and the probes below read that picture.
vue() { import -window "$1" "$2" 2>/dev/null; }
# The target's middle, found by its white and blue rings; nothing when none shows.
cible() {
  convert "$1" -fuzz 25% -fill white -opaque '#0050ff' -fill black +opaque white \
    -format '%@' info: 2>/dev/null | awk -F'[x+]' '$1 > 20 { print $3 + $1 / 2, $4 + $2 / 2 }'
}
# The scene in play: the ground at the bottom, red score lines at the top left, the target.
scene() {
  [ "$(convert "$1" -format '%[fx:p{590,590}.g > 0.15 && p{590,590}.g > p{590,590}.b]' info:)" = 1 ] &&
    [ "$(convert "$1" -crop 160x82+0+0 -fuzz 10% -fill white -opaque red -fill black +opaque white \
         -format '%[fx:mean > 0.03]' info:)" = 1 ] &&
    [ -n "$(cible "$1")" ]
}
# The game-over screen: no ground at the bottom, the dark red picture in the middle.
perdu() {
  [ "$(convert "$1" -format '%[fx:p{300,590}.intensity == 0 && p{110,210}.r > 0.1 && p{110,210}.g < 0.1]' \
       info:)" = 1 ]
}

# A click's time to the game-over screen with the mouse still, then moving 1,000 to
# 8,000 times a second: souris PARTIES LATENCE COMMANDE... starts the game's "cadence
# souris" with COMMANDE on the display set, PARTIES games a rate, each driven by the
# benchmark LATENCE, and prints for each rate the median and spread of the click's
# time, the medians of the motions a second sent and taken by the game's passes, and
# of its passes a second from its first motion to the press. The rates take turns, so
# that the load of other work falls on all of them alike.
souris() {
  local parties=$1 latence=$2 sortie taux n jeu fenetre mesure pris passes
  local -A lignes=()
  shift 2
  sortie=$(mktemp)
  for n in $(seq "$parties"); do
    for taux in 0 1000 2000 4000 8000; do
      "$@" >"$sortie" 2>/dev/null &
      jeu=$!
      fenetre=$(timeout 60 xdotool search --sync --name 'Gavremo /by Merulek' | head -n 1) || true
      mesure=$("$latence" "$fenetre" "$taux" 2>/dev/null) || mesure="99999 0"
      # The key it pressed last ends the game; one that missed is ended here.
      for _ in $(seq 100); do kill -0 $jeu 2>/dev/null || break; sleep 0.1; done
      kill $jeu 2>/dev/null || true
      wait $jeu 2>/dev/null || true
      pris=$(tr -d '\r' <"$sortie" | sed -n 's/.*: \([0-9]*\) a second, .*/\1/p')
      passes=$(tr -d '\r' <"$sortie" | sed -n 's/.* \([0-9]*\) passes a second$/\1/p')
      lignes[$taux]+="$mesure ${pris:-0} ${passes:-0}"$'\n'
    done
  done
  rm -f "$sortie"
  echo "| motions/s | click to screen, median | spread | sent/s | taken by the game/s | passes/s |"
  echo "|---|---|---|---|---|---|"
  for taux in 0 1000 2000 4000 8000; do
    printf '%s' "${lignes[$taux]}" | sort -n | awk -v taux="$taux" '
      { ms[NR] = $1; envoi[NR] = $2; pris[NR] = $3; passes[NR] = $4 }
      function mediane(t, n,   u, i, j, x) {
        for (i = 1; i <= n; i++) u[i] = t[i]
        for (i = 2; i <= n; i++) { x = u[i]; for (j = i - 1; j >= 1 && u[j] > x; j--) u[j + 1] = u[j]; u[j + 1] = x }
        return n % 2 ? u[(n + 1) / 2] : (u[n / 2] + u[n / 2 + 1]) / 2
      }
      END { printf "| %s | %.1f ms | %.1f–%.1f ms | %.0f | %.0f | %.0f |\n", taux ? taux : "still", mediane(ms, NR),
            ms[1], ms[NR], mediane(envoi, NR), mediane(pris, NR), mediane(passes, NR) }'
  done
}
