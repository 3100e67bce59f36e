#!/usr/bin/env bash
# Builds a release a second time as another builder would: from a copy of the sources
# at a longer path whose folders list their files in another order, later, under umask
# 0002, in another time zone and locale, with the libraries built anew in a cache of
# its own. It must be the same bytes as the first build, and neither may hold a path of
# the machine that built it.
#   publication.sh windows BUILD/gavremo-VERSION-win32.zip   (and what is beside it)
#   publication.sh web BUILD/page
set -euo pipefail
projet=$(realpath "$(dirname "$0")/../..")
. "$projet/scripts/commun.sh"
sorte=$1
premier=$(realpath "$2")
# disorderfs lists each folder of the copy backwards, over FUSE, which takes root here.
if [ "$(id -u)" -ne 0 ] || [ ! -c /dev/fuse ]; then
  echo "not root, or no /dev/fuse: disorderfs cannot show the copy in another order"
  exit 77
fi
command -v disorderfs >/dev/null || echec "no disorderfs: scripts/installer.sh windows (or tests-web) installs it"
ailleurs=$(mktemp -d /tmp/gavremo-publicationXXXXXX)
en_partant "rm -rf '$ailleurs'"
copie=$ailleurs/une/copie/des/sources/plus/loin
mkdir -p "$ailleurs/dessous" "$copie"
# Written in name order and read backwards: not the clone's order, whether the file
# system lists a folder by hash (ext4) or in the order it was written (tmpfs, btrfs).
tar -c -C "$projet" --sort=name --exclude='./build*' --exclude=node_modules . |
  tar -x -C "$ailleurs/dessous"
if ! disorderfs -q --reverse-dirents=yes "$ailleurs/dessous" "$copie" >/dev/null; then
  echo "disorderfs cannot mount here"
  exit 77
fi
en_partant "umount '$copie' 2>/dev/null || umount -l '$copie'"
case "$sorte" in
  windows) second=$copie/build-windows/$(basename "$premier") ;;
  web) second=$copie/build-web/page ;;
  *) echo "publication.sh: windows or web, not $sorte" >&2; exit 2 ;;
esac

if ! (cd "$copie" && umask 0002 && export TZ=Pacific/Kiritimati LC_ALL=C.UTF-8 GAVREMO_CACHE=$ailleurs/cache &&
      cmake --workflow --preset "$sorte") >"$ailleurs/construction.log" 2>&1; then
  tail -n 40 "$ailleurs/construction.log"
  echo "the second build failed"
  exit 1
fi

# The files themselves, a zip unpacked.
deballer() {
  if [ -d "$1" ]; then
    echo "$1"
  else
    mkdir -p "$2" && unzip -q "$1" -d "$2" && echo "$2"
  fi
}
un=$(deballer "$premier" "$ailleurs/un")
deux=$(deballer "$second" "$ailleurs/deux")
echecs=0
if ! cmp -s <(cd "$un" && find . -type f | LC_ALL=C sort) <(cd "$deux" && find . -type f | LC_ALL=C sort); then
  echo "not the same files:"
  diff <(cd "$un" && find . -type f | LC_ALL=C sort) <(cd "$deux" && find . -type f | LC_ALL=C sort) || true
  echecs=1
fi
while read -r f; do
  cmp -s "$un/$f" "$deux/$f" || { echo "differs: $f"; echecs=1; }
done < <(cd "$un" && find . -type f | LC_ALL=C sort)
[ -d "$premier" ] || cmp -s "$premier" "$second" || { echo "the zips differ"; echecs=1; }
# Beside the zip, made from the same files: its setup, their bills of materials and its
# DLLs' sources.
voisins=("${premier%.zip}-setup.exe" "${premier%.zip}.cdx.json" "${premier%.zip}-setup.cdx.json" "${premier%.zip}-sources.zip")
if [ ! -d "$premier" ]; then
  for f in "${voisins[@]}"; do
    cmp -s "$f" "$(dirname "$second")/$(basename "$f")" || { echo "differs: $(basename "$f")"; echecs=1; }
  done
fi

for chemin in "$projet" "$copie" "$GAVREMO_CACHE" "$ailleurs/cache"; do
  for arbre in "$un" "$deux"; do
    if grep -rlaF -- "$chemin" "$arbre"; then
      echo "^ holds $chemin"
      echecs=1
    fi
  done
done
[ $echecs = 0 ] || exit 1
echo "the same bytes twice, with no path of the builds:"
(cd "$un" && find . -type f | LC_ALL=C sort | xargs sha256sum)
[ -d "$premier" ] || sha256sum "$premier" "${voisins[@]}"
