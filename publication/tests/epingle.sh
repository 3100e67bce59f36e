#!/usr/bin/env bash
# A pin the archive no longer serves, and its move, on a local archive signed by a key
# made here and no network: the archive serves giflib 5.2.2-1, newer than the pin. The
# fetch stops naming the version served and scripts/epingler.sh; epingler.sh, on a copy
# of the tree, moves the pin, and the fetch then passes. A Sources changed after
# signing, an InRelease signed by another key, and an orig tarball changed are refused.
# Then a toolchain (dpkg standing for one): epingler.sh --installes names the version
# installed, with the sha256 the signed Sources give; one that only the security
# archive serves (tar) is named from that archive's pool; one installed at a version
# neither names (bash, which the archive serves at 0-1) is refused.
set -euo pipefail
projet=$(realpath "$(dirname "$0")/../..")
. "$projet/scripts/commun.sh"
t=$(mktemp -d)
en_partant "rm -rf '$t'"
servie=5.2.2-1
epingle=$(sed -n 's/^set(giflib_DEBIAN \(.*\))$/\1/p' "$projet/publication/versions.cmake")
read -ra suites <<<"$(sed -n 's/^set(DEBIAN_SUITES \(.*\))$/\1/p' "$projet/publication/versions.cmake")"
read -r securite suite_securite <<<"$(sed -n 's/^set(DEBIAN_SECURITE \(.*\))$/\1/p' "$projet/publication/versions.cmake")"

# The newer giflib: a small source package, built as Debian builds one.
s=$t/giflib-5.2.2
mkdir -p "$s/debian/source" "$t/archive/pool/main/g/giflib"
echo "giflib's licence, for the test" >"$s/COPYING"
tar -C "$t" -czf "$t/giflib_5.2.2.orig.tar.gz" giflib-5.2.2
echo "3.0 (quilt)" >"$s/debian/source/format"
printf 'Source: giflib\nMaintainer: Gavremo developers <gavremo@example.org>\n\nPackage: libgif7\nArchitecture: any\nDescription: test\n test\n' >"$s/debian/control"
printf 'giflib (%s) bookworm; urgency=medium\n\n  * Test.\n\n -- Gavremo developers <gavremo@example.org>  Thu, 01 Jan 2026 00:00:00 +0000\n' \
  "$servie" >"$s/debian/changelog"
(cd "$t" && dpkg-source -b giflib-5.2.2 >/dev/null 2>&1) || { echo "dpkg-source -b failed"; exit 1; }
mv "$t"/giflib_5.2.2* "$t/archive/pool/main/g/giflib/"

# Two keys: the one the test trusts signs the archive, the other one does not.
export GNUPGHOME=$t/gnupg
mkdir -m 700 "$GNUPGHOME"
en_partant "gpgconf --kill all"
for k in archive autre; do
  gpg -q --batch --passphrase '' --quick-gen-key "$k@example.org" ed25519 sign never 2>/dev/null
done
gpg -q --export archive@example.org >"$t/cles.gpg"
# signer KEY: each suite's Release, of its Sources.xz as it is now, signed in InRelease;
# the security archive's too.
signer() {
  local suite d
  for suite in "${suites[@]}" "securite/dists/$suite_securite"; do
    d=$t/archive/dists/$suite
    [[ $suite != securite/* ]] || d=$t/archive/$suite
    printf 'Suite: %s\nSHA256:\n %s %s main/source/Sources.xz\n' "$suite" \
      "$(sha256sum <"$d/main/source/Sources.xz" | cut -d' ' -f1)" "$(stat -c %s "$d/main/source/Sources.xz")" >"$d/Release"
    rm -f "$d/InRelease"
    gpg -q --batch --local-user "$1" --clearsign -o "$d/InRelease" "$d/Release"
  done
}
for suite in "${suites[@]}"; do mkdir -p "$t/archive/dists/$suite/main/source"; done
# giflib in the first suite, and the toolchains' sources; in the others, an older
# giflib, listed after it.
installe=$(dpkg-query -W -f='${source:Version}' dpkg)
zeros=$(printf '0%.0s' {1..64})
(cd "$t/archive" && dpkg-scansources pool 2>/dev/null
 printf '\nPackage: dpkg\nVersion: %s\nChecksums-Sha256:\n %s 1 dpkg_%s.dsc\n 1%s 2 dpkg_%s.tar.xz\n' \
   "$installe" "$zeros" "$installe" "${zeros:1}" "$installe"
 printf '\nPackage: bash\nVersion: 0-1\nChecksums-Sha256:\n %s 1 bash_0-1.dsc\n' "$zeros") |
  xz >"$t/archive/dists/${suites[0]}/main/source/Sources.xz"
for suite in "${suites[@]:1}"; do
  printf 'Package: giflib\nVersion: 5.2.1-9\nChecksums-Sha256:\n %s 1 giflib_5.2.1-9.dsc\n' "$(printf '0%.0s' {1..64})" |
    xz >"$t/archive/dists/$suite/main/source/Sources.xz"
done
# The security archive: tar, at the version installed here.
tar_installe=$(dpkg-query -W -f='${source:Version}' tar)
mkdir -p "$t/archive/securite/dists/$suite_securite/main/source"
printf 'Package: tar\nVersion: %s\nChecksums-Sha256:\n 2%s 3 tar_%s.dsc\n' "$tar_installe" "${zeros:1}" "$tar_installe" |
  xz >"$t/archive/securite/dists/$suite_securite/main/source/Sources.xz"
signer archive@example.org

# The server takes a free port itself and says which.
(cd "$t/archive" && exec /usr/bin/python3 -u -m http.server -b 127.0.0.1 0 >"$t/serveur.txt" 2>"$t/requetes.txt") &
en_partant "kill $! 2>/dev/null"
for _ in $(seq 200); do grep -qs ' port ' "$t/serveur.txt" && break; sleep 0.05; done
port=$(sed -n 's/.* port \([0-9]*\) .*/\1/p' "$t/serveur.txt")
[ -n "$port" ] || { echo "the local archive did not start: $(cat "$t/requetes.txt")"; exit 1; }
export GAVREMO_DEBIAN=http://127.0.0.1:$port GAVREMO_SECURITE=http://127.0.0.1:$port/securite GAVREMO_CLES=$t/cles.gpg

# A copy of what the pins and the scripts are: the real versions.cmake stays as it is.
mkdir -p "$t/arbre/publication"
cp -r "$projet/scripts" "$t/arbre/"
cp "$projet/publication/versions.cmake" "$projet/publication/debian.cmake" "$t/arbre/publication/"
versions=$t/arbre/publication/versions.cmake
recuperer() {
  rm -rf "$t/source"
  cmake -DPAQUET=giflib -DMIROIR="$GAVREMO_DEBIAN" -DDEPOT="$t/depot" -DSOURCE="$t/source" \
    -DLICENCES="$t/licences" -P "$t/arbre/publication/debian.cmake" 2>&1
}
echecs=0
echoue() { echo "FAILED: $*"; echecs=1; }
# refuse WHAT SAID COMMAND...: the command must fail, saying SAID, however CMake wraps it.
refuse() {
  local quoi=$1 dit=$2 sortie
  shift 2
  if sortie=$("$@" 2>&1); then echoue "$quoi: went by"
  elif ! tr -s ' \n' '  ' <<<"$sortie" | grep -qF -- "$dit"; then echoue "$quoi: not said: $dit"; echo "$sortie"
  else echo "ok: $quoi"; fi
}

refuse "a pin the archive no longer serves" \
  "does not serve giflib $epingle (giflib_$epingle.dsc: " recuperer
refuse "the fetch names the version served and the command" \
  "it serves giflib $servie. To pin the version it serves: scripts/epingler.sh giflib" recuperer
[ ! -e "$t/source" ] || echoue "sources unpacked all the same"

# Refused before any pin moves: a Sources changed after signing, another key's signature.
cp "$versions" "$t/versions.avant"
d=$t/archive/dists/${suites[0]}
cp "$d/main/source/Sources.xz" "$t/Sources.xz"
(xz -dc "$t/Sources.xz"; printf '\nPackage: giflib\nVersion: 9-1\n') | xz >"$d/main/source/Sources.xz"
refuse "a Sources changed after signing" "is not the one its InRelease signs" "$t/arbre/scripts/epingler.sh" giflib
signer autre@example.org
refuse "an InRelease signed by another key" "no good signature" "$t/arbre/scripts/epingler.sh" giflib
cmp -s "$versions" "$t/versions.avant" || echoue "versions.cmake changed all the same"
cp "$t/Sources.xz" "$d/main/source/Sources.xz"
signer archive@example.org

if sortie=$("$t/arbre/scripts/epingler.sh" giflib 2>&1); then
  dsc=$t/archive/pool/main/g/giflib/giflib_$servie.dsc
  attendu=$(awk -v v="$servie" -v dsc="$(sha256sum <"$dsc" | cut -d' ' -f1)" \
    -v orig="$(sha256sum <"${dsc%_*}_5.2.2.orig.tar.gz" | cut -d' ' -f1)" \
    -v deb="$(sha256sum <"${dsc%.dsc}.debian.tar.xz" | cut -d' ' -f1)" '
    /^set\(giflib_DEBIAN / { print "set(giflib_DEBIAN " v ")"; next }
    /^set\(giflib_FICHIERS$/ { print; print "  giflib_" v ".dsc " dsc; print "  giflib_5.2.2.orig.tar.gz " orig
                                print "  giflib_" v ".debian.tar.xz " deb ")"; s = 1; next }
    s { s = ($0 !~ /\)$/); next } { print }' "$t/versions.avant")
  if [ "$attendu" = "$(cat "$versions")" ]; then echo "ok: epingler.sh moves giflib's pin, and nothing else"
  else echoue "epingler.sh: not the pin expected:"; diff <(echo "$attendu") "$versions" || true; fi
  grep -qF "+set(giflib_DEBIAN $servie)" <<<"$sortie" || echoue "epingler.sh: no diff shown: $sortie"
else
  echoue "epingler.sh giflib: $sortie"
fi
if sortie=$(recuperer) && [ -s "$t/licences/giflib.txt" ]; then echo "ok: the fetch passes on the new pin"
else echoue "the fetch on the new pin: $sortie"; fi

sed -i 's/^set(DEBIAN_OUTILS .*)$/set(DEBIAN_OUTILS dpkg tar)\nset(dpkg_BINAIRE dpkg)\nset(tar_BINAIRE tar)\nset(bash_BINAIRE bash)/' "$versions"
if sortie=$("$t/arbre/scripts/epingler.sh" --installes "$t/outils.cmake" 2>&1) &&
   grep -qxF "set(dpkg_DEBIAN $installe)" "$t/outils.cmake" &&
   grep -qxF "  dpkg_$installe.tar.xz 1${zeros:1})" "$t/outils.cmake" && ! grep -q "^set(dpkg_POOL" "$t/outils.cmake"; then
  echo "ok: --installes names the toolchain installed, with its signed sha256"
else
  echoue "--installes: $sortie $(cat "$t/outils.cmake" 2>/dev/null)"
fi
if grep -qxF "set(tar_DEBIAN $tar_installe)" "$t/outils.cmake" &&
   grep -qxF "  tar_$tar_installe.dsc 2${zeros:1})" "$t/outils.cmake" &&
   grep -qxF "set(tar_POOL $securite/pool/updates/main)" "$t/outils.cmake"; then
  echo "ok: a toolchain the security archive alone serves is named from its pool"
else
  echoue "--installes, from the security archive: $(cat "$t/outils.cmake" 2>/dev/null)"
fi
refuse "a toolchain installed at a version the archive does not name" \
  "the bash $(dpkg-query -W -f='${source:Version}' bash) installed here is in no Sources" \
  "$t/arbre/scripts/epingler.sh" --installes "$t/outils2.cmake" bash

orig=$t/archive/pool/main/g/giflib/giflib_5.2.2.orig.tar.gz
echo "changed" >>"$orig"
rm -rf "$t/depot"
refuse "an orig tarball changed" "is not the file named in versions.cmake" recuperer
[ ! -e "$t/source" ] || echoue "sources unpacked from a changed tarball"
[ $echecs = 0 ]
