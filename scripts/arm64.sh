#!/usr/bin/env bash
# Builds the game for arm64, as a Raspberry Pi's Debian 12 runs it: cross-compiled
# with the preset linux-arm64 in a Debian 12 root (scripts/racine.sh arm64), since
# arm64's libsdl1.2-dev would take the place of this machine's; and its package, as
# Debian cross-builds one (dpkg-buildpackage -aarm64 -Pcross,nocheck). The game and
# gavremo_<version>_arm64.deb with its bill of materials are copied back to build-arm64/.
#   arm64.sh --tester   then runs its tests there, the arm64 programs under qemu-user;
#   arm64.sh --mesurer  the game's pass beside a bare SDL loop's, and the started game's
#                       pass rate, under qemu-user on Xvfb.
# Needs root.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/commun.sh
if dedans arm64; then   # run again there by dans_racine, below
  rm -f build-arm64/ctest-junit.xml
  scripts/installer.sh arm64
  [ "${1:-}" != --mesurer ] || installer libbenchmark-dev:arm64
  cmake --workflow --preset linux-arm64 >/dev/null
  # The package, from a copy of the tree without its builds: dpkg-buildpackage
  # writes beside the tree it builds.
  paquet=build-arm64/paquet
  rm -rf "$paquet"
  mkdir -p "$paquet/gavremo"
  tar -c --exclude='./build*' --exclude=node_modules . | tar -x -C "$paquet/gavremo"
  (cd "$paquet/gavremo" &&
   DEBIAN_FRONTEND=noninteractive apt-get build-dep -y -qq -aarm64 -Pcross,nocheck ./ >/dev/null &&
   DEB_BUILD_OPTIONS=nocheck dpkg-buildpackage -aarm64 -Pcross,nocheck -us -uc -b >../journal.txt 2>&1) ||
    { tail -n 30 "$paquet/journal.txt"; echec "the arm64 package did not build"; }
  publication/tests/paquet.sh --nomenclature "$paquet"/gavremo_*_arm64.deb /usr/bin/aarch64-linux-gnu-g++ debian/changelog
  case "${1:-}" in
    --tester) modules publication/tests; ctest --preset linux-arm64 ;;
    --mesurer)
      xvfb
      export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy
      echo "== arm64 under qemu-user, $(nproc) cores, load: $(cut -d' ' -f1-3 /proc/loadavg)"
      build-arm64/bench/bench --benchmark_filter='^(Passe|Repeint)' --benchmark_min_time=0.3 \
        --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
      for _ in 1 2 3; do build-arm64/bench/cadence; done ;;
  esac
  exit
fi
case "${1:-}" in
  "" | --tester | --mesurer) ;;
  *) echo "usage: scripts/arm64.sh [--tester | --mesurer]" >&2; exit 2 ;;
esac

# qemu-user runs arm64's programs.
qemu_binfmt aarch64

[ "${1:-}" != --mesurer ] || qemu-aarch64-static --version | head -n 1
statut=0
dans_racine arm64 scripts/arm64.sh "$@" || statut=$?
# What was built, whatever the tests said.
mkdir -p build-arm64
construit=$GAVREMO_CACHE/arm64$(copie_racine)/build-arm64
cp "$construit/gavremo" "$construit"/paquet/gavremo_*_arm64.{deb,cdx.json} "$construit"/ctest-junit.xml build-arm64/ 2>/dev/null || true
[ $statut = 0 ] || echec "the arm64 build or its tests failed"
ls build-arm64/gavremo_*_arm64.deb
