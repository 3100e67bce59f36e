#!/usr/bin/env bash
# Installs the Debian packages that one job needs, and does nothing when all are there:
#   jeu      the game                     demo       the game and its self-playing demo
#   paquet   what the Debian package's build needs (apt-get build-dep ./)
#   tests    the Linux game's tests       windows    the cross build for Windows
#   wine     Wine to play that build in   web        the page
#   tests-web  the page, and three browsers to test it in
#   son-web  the same, and what times a shot by its sound (mesurer.sh son)
#   arm64    the cross build for arm64 and its tests, only in the root of scripts/arm64.sh:
#            arm64's libsdl1.2-dev would take the place of this machine's
set -euo pipefail
. "$(dirname "$0")/commun.sh"
travail=${1:-jeu}
# dpkg-dev: dpkg-buildflags gives the game Debian's hardening flags.
paquets=(cmake g++ make pkg-config dpkg-dev libsdl1.2-dev libsdl-image1.2-dev
          libsdl-ttf2.0-dev libsdl-mixer1.2-dev libgif-dev libjpeg-dev)
x=(xvfb xdotool x11-utils imagemagick)
case "$travail" in
  jeu) ;;
  paquet)
    cd "$(dirname "$0")/.."
    avis=$(DEBIAN_FRONTEND=noninteractive $sudo apt-get build-dep -y -qq -o DPkg::Lock::Timeout=600 ./ 2>&1 >/dev/null) ||
      echec "apt-get build-dep ./ failed:"$'\n'"$avis"
    exit 0 ;;
  demo) paquets+=("${x[@]}") ;;
  # The Debian package's checks (publication/tests/paquet.sh): devscripts has hardening-check,
  # dpkg-dev dpkg-source and dpkg-scanpackages, debootstrap makes their roots,
  # diffoscope shows what differs between two builds; node checks the bills of
  # materials; disorderfs lists a folder's files in another order; gpg signs the
  # local archive that scripts/epingler.sh checks with gpgv, curl and xz-utils.
  tests) paquets+=("${x[@]}" libgtest-dev libbenchmark-dev libx11-dev libxtst-dev valgrind
                   lintian piuparts autopkgtest blhc debootstrap appstream desktop-file-utils man-db
                   clang devscripts xz-utils disorderfs diffoscope-minimal nodejs
                   gpg gpgv curl debian-archive-keyring)
    command -v npm >/dev/null || paquets+=(npm) ;;
  # disorderfs, here and in tests-web: publication/tests/publication.sh builds the release again
  # from a copy whose folders list their files in another order. node checks the zip's
  # and the setup's bills of materials, reading the setup with 7-Zip; nsis's makensis
  # makes the setup.
  # curl, gpgv and the keyring: scripts/epingler.sh --installes reads the toolchains'
  # sources from the archive's signed Sources, for the bills of materials.
  windows) paquets=(cmake make dpkg-dev zip unzip g++-mingw-w64-i686 binutils-mingw-w64-i686
                    libgtest-dev disorderfs nodejs nsis p7zip-full curl gpgv debian-archive-keyring)
    command -v npm >/dev/null || paquets+=(npm) ;;
  # liblnk-utils: lnkinfo reads the setup's Start menu shortcut.
  wine) paquets=(wine wine32:i386 unzip liblnk-utils "${x[@]}") ;;
  # brotli and gzip compress the page once built; node serves it (web.sh --serve).
  web) paquets=(cmake make emscripten python3 dpkg-dev brotli gzip nodejs curl gpgv debian-archive-keyring)
    command -v npm >/dev/null || paquets+=(npm) ;;
  tests-web | son-web)
    # WebKitWebDriver starts the MiniBrowser of libwebkit2gtk-4.1-0, which needs a display.
    paquets=(cmake make emscripten python3 dpkg-dev brotli gzip curl gpgv debian-archive-keyring chromium firefox-esr webkit2gtk-driver xvfb pulseaudio nodejs
             disorderfs)
    command -v npm >/dev/null || paquets+=(npm)
    [ "$travail" = tests-web ] || paquets+=(gcc libpulse-dev libx11-dev libxtst-dev) ;;
  # The target's pkg-config (pkgconf:arm64) finds its .pc files; the tests run its
  # programs under qemu-user, but the displays, the probes and node, which checks the
  # .deb's bill of materials, are this machine's.
  arm64) paquets=(cmake make dpkg-dev file crossbuild-essential-arm64 pkgconf:arm64 "${x[@]}" lintian
                  appstream desktop-file-utils man-db devscripts nodejs)
    command -v npm >/dev/null || paquets+=(npm)
    for p in libsdl1.2-dev libsdl-image1.2-dev libsdl-ttf2.0-dev libsdl-mixer1.2-dev libgif-dev libjpeg-dev \
             libgtest-dev libx11-dev libxtst-dev; do paquets+=("$p:arm64"); done ;;
  *) echo "installer.sh: jeu, paquet, demo, tests, windows, wine, web, tests-web, son-web or arm64" >&2; exit 2 ;;
esac
# Debian 12 keeps the classic SDL 1.2, much faster under X than the compatibility
# library over SDL 2 it also offers, which conflicts with it; later releases ship
# only that library, as libsdl1.2-dev.
. /etc/os-release
if [ "${VERSION_CODENAME:-}" = bookworm ] && [[ " ${paquets[*]} " == *" libsdl1.2-dev "* ]]; then
  paquets+=(libsdl1.2debian libsdl1.2-compat-dev- libsdl1.2-compat-shim-)
fi
# A desktop session of X and Wayland together, for the compatibility library's tests.
if [ "$travail" = tests ] && [ "${VERSION_CODENAME:-}" != bookworm ]; then
  paquets+=(weston xwayland)
fi
# Wine runs the 32-bit game with 32-bit libraries, and the arm64 build links arm64's:
# apt knows them only once an update has brought their lists, and the lists it has of
# other architectures are no help.
case "$travail" in
  wine) etrangere=i386 temoin=wine32:i386 quoi="Wine's 32-bit packages" ;;
  arm64) etrangere=arm64 temoin=libsdl1.2-dev:arm64 quoi="arm64's libraries" ;;
  *) etrangere="" ;;
esac
if [ -n "$etrangere" ] && ! apt-cache show "$temoin" >/dev/null 2>&1; then
  dpkg --print-foreign-architectures | grep -qx "$etrangere" || $sudo dpkg --add-architecture "$etrangere"
  avis=$(actualiser) || apt-cache show "$temoin" >/dev/null 2>&1 ||
    echec "apt has no lists of $etrangere packages: $quoi cannot be installed" \
      "until apt-get update works:"$'\n'"$avis"
fi
installer "${paquets[@]}"
# libFuzzer comes with the runtimes of the release's clang.
[ "$travail" != tests ] || installer "libclang-rt-$(clang -dumpversion | cut -d. -f1)-dev"
