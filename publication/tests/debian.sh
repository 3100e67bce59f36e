#!/usr/bin/env bash
# What the superbuild does with the Debian archive, for one library (giflib) and no
# network: an archive that no longer serves the version named in versions.cmake, and a
# file whose sha256 is not the one named there, each stop the build and say so. Then,
# from the archive, the font's sources, which only the bills of materials name: its
# .dsc gives the sha256 of versions.cmake, and one it does not give is refused. That
# second half needs the archive apt uses here: without it, the test says so and is
# skipped (77) once the first half has passed.
set -euo pipefail
projet=$(realpath "$(dirname "$0")/../..")
. "$projet/scripts/commun.sh"
echo "needs the Debian archive apt uses here ($(miroir)) for its second half"
travail=$(mktemp -d)
en_partant "rm -rf '$travail'"
recuperer() {
  cmake -DPAQUET=giflib -DMIROIR="$1" -DDEPOT="$travail/depot" -DSOURCE="$travail/source" \
    -DLICENCES="$travail/licences" -P "$projet/publication/debian.cmake" 2>&1
}
echecs=0
attendre() {
  if sortie=$(recuperer "$1"); then
    echo "FAILED: $2: the build went on"; echecs=1
  elif ! grep -qF "$3" <<<"$sortie"; then
    echo "FAILED: $2: not said: $3"; echo "$sortie"; echecs=1
  else
    echo "ok: $2"
  fi
  [ ! -e "$travail/source" ] || { echo "FAILED: $2: sources unpacked all the same"; echecs=1; }
}

attendre "file://$travail/archive" "an archive without the version" "does not serve giflib 5.2.1-2.5+deb12u1"
mkdir -p "$travail/archive/pool/main/g/giflib"
echo "not giflib" >"$travail/archive/pool/main/g/giflib/giflib_5.2.1-2.5+deb12u1.dsc"
attendre "file://$travail/archive" "a file that is not the one named" "is not the file named in versions.cmake"
[ ! -e "$travail/depot/giflib_5.2.1-2.5+deb12u1.dsc" ] || { echo "FAILED: the wrong file was kept"; echecs=1; }

recette=$projet/publication
suite=$(sed -n 's/^set(DEBIAN_SUITES \([^ )]*\).*/\1/p' "$recette/versions.cmake")
if ! curl -fsS -o /dev/null --max-time 60 "$(miroir)/dists/$suite/InRelease" 2>/dev/null; then
  echo "$(miroir) cannot be reached: the font's .dsc is not checked"
  [ $echecs = 0 ] && exit 77 || exit 1
fi
for p in $(sed -n 's/^set(DEBIAN_EMPRUNTS \(.*\))$/\1/p' "$recette/versions.cmake"); do
  if sortie=$(cmake -DPAQUET="$p" -DDSC_SEUL=ON -DDEPOT="$travail/outils" -P "$recette/debian.cmake" 2>&1); then
    echo "ok: $p's .dsc gives the sha256 of versions.cmake"
  else
    echo "FAILED: $p: $sortie"; echecs=1
  fi
done
mkdir -p "$travail/recette" && cp "$recette/versions.cmake" "$recette/debian.cmake" "$travail/recette/"
sed -i 's/^\(  fonts-blankenburg_0.1.orig.tar.gz\) [0-9a-f]*/\1 '"$(printf '0%.0s' {1..64})"'/' "$travail/recette/versions.cmake"
mkdir -p "$travail/archive/pool/main/f/fonts-blankenburg"
cp "$travail"/outils/fonts-blankenburg_*.dsc "$travail/archive/pool/main/f/fonts-blankenburg/"
if sortie=$(cmake -DPAQUET=fonts-blankenburg -DDSC_SEUL=ON -DMIROIR="file://$travail/archive" -DDEPOT="$travail/faux" \
              -P "$travail/recette/debian.cmake" 2>&1); then
  echo "FAILED: a sha256 its .dsc does not give went by"; echecs=1
elif ! grep -qF "dsc gives fonts-blankenburg_0.1.orig.tar.gz the" <<<"$sortie"; then
  echo "FAILED: a sha256 its .dsc does not give: not said"; echo "$sortie"; echecs=1
else
  echo "ok: a sha256 its .dsc does not give"
fi
[ $echecs = 0 ]
