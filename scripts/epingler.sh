#!/usr/bin/env bash
# Moves pins of versions.cmake to the versions the Debian archive serves now, with the
# sha256 of their files, taken from the Sources of DEBIAN_SUITES once checked as apt
# checks them: InRelease signed by Debian's key, the Sources file's sha256 the signed one.
#   scripts/epingler.sh [PACKAGE...]      (none: every pinned package)
# With --installes, moves no pin: writes to FILE, as versions.cmake would pin them, the
# versions of the toolchains (DEBIAN_OUTILS) installed here and their files' sha256,
# from the same checked Sources: what a bill of materials names as having built it.
# A version that apt upgrade took from the security archive (DEBIAN_SECURITE), which
# the suites name only from the next point release, is named from there.
#   scripts/epingler.sh --installes FILE [TOOLCHAIN...]   (none: every toolchain)
# GAVREMO_DEBIAN names another archive than apt's, GAVREMO_SECURITE another security
# archive, GAVREMO_CLES another keyring.
# Only the pins' lines change; the diff is printed, to review before committing.
set -euo pipefail
. "$(dirname "$0")/commun.sh"
for c in curl gpgv xz; do command -v $c >/dev/null || echec "$c is missing: scripts/installer.sh tests installs it"; done
versions=$(realpath "$(dirname "$0")/../publication/versions.cmake")
archive=${GAVREMO_DEBIAN:-$(miroir)}
archive=${archive%/}
cles=${GAVREMO_CLES:-/usr/share/keyrings/debian-archive-keyring.gpg}
liste() { sed -n "s/^set($1 \(.*\))$/\1/p" "$versions"; }
installes=""
[ "${1:-}" != --installes ] || { installes=${2:?--installes FILE}; shift 2; }
paquets=("$@")
if [ $# -eq 0 ] && [ -n "$installes" ]; then
  read -ra paquets <<<"$(liste DEBIAN_OUTILS)"
elif [ $# -eq 0 ]; then
  read -ra paquets <<<"$(liste DEBIAN_BIBLIOTHEQUES) $(liste DEBIAN_EMPRUNTS)"
fi
t=$(mktemp -d)
en_partant "rm -rf '$t'"

# lire ARCHIVE SUITE FILE: the suite's Sources, checked, added to FILE.
lire() {
  local archive=$1 suite=$2 f signe
  curl -fsS -o "$t/InRelease" "$archive/dists/$suite/InRelease" || echec "no InRelease for $suite at $archive"
  gpgv --keyring "$cles" --output "$t/Release" "$t/InRelease" 2>"$t/gpgv.txt" ||
    echec "$archive/dists/$suite/InRelease: no good signature by a key of $cles:"$'\n'"$(cat "$t/gpgv.txt")"
  for f in Sources.xz Sources.gz; do
    curl -fsS -o "$t/$f" "$archive/dists/$suite/main/source/$f" 2>/dev/null || continue
    signe=$(awk -v f="main/source/$f" '/^[^ ]/ { s = ($1 == "SHA256:") } s && $3 == f { print $1 }' "$t/Release")
    [ -n "$signe" ] || echec "$suite's InRelease gives no sha256 for main/source/$f"
    [ "$(sha256sum <"$t/$f" | cut -d' ' -f1)" = "$signe" ] ||
      echec "$archive/dists/$suite/main/source/$f is not the one its InRelease signs (sha256 $signe)"
    if [ $f = Sources.xz ]; then xz -dc "$t/$f"; else gzip -dc "$t/$f"; fi >>"$3"
    return
  done
  echec "no Sources.xz nor Sources.gz for $suite at $archive"
}
: >"$t/Sources"
for suite in $(liste DEBIAN_SUITES); do lire "$archive" "$suite" "$t/Sources"; done

# fichiers PAQUET VERSION [SOURCES]: the files of that version in SOURCES (the suites'),
# its .dsc first, as debian.cmake wants it, one "  NAME SHA256" a line, the last
# closing the set().
fichiers() {
  awk -v p="$1" -v v="$2" 'BEGIN { RS = "" } {
      n = split($0, l, "\n"); q = 0; w = 0; s = 0; delete f
      for (i = 1; i <= n; i++) {
        q = q || l[i] == "Package: " p; w = w || l[i] == "Version: " v
        if (l[i] ~ /^[^ ]/) s = (l[i] == "Checksums-Sha256:"); else if (s) f[i] = l[i]
      }
      if (q && w) for (i = 1; i <= n; i++) if (i in f) print f[i]
    }' "${3:-$t/Sources}" | awk '!vu[$0]++ { print ($3 ~ /\.dsc$/ ? 0 : 1), "  " $3, $1 }' | sort -s -k1,1 | cut -d' ' -f2- >"$t/fichiers"
  [ -s "$t/fichiers" ] || return 1
  sed -i '$ s/$/)/' "$t/fichiers"
}

# The toolchains as installed: each Debian source version, which the binary package
# named by _BINAIRE gives, must be one the suites or the security archive serve.
if [ -n "$installes" ]; then
  read -r securite suite_securite <<<"$(liste DEBIAN_SECURITE)"
  # sources_de PAQUET VERSION: its version, files and, from the security archive (read
  # only when the suites do not name that version), their pool.
  sources_de() {
    echo "set(${1}_DEBIAN $2)"
    if ! fichiers "$1" "$2"; then
      [ -e "$t/Sources-securite" ] || lire "${GAVREMO_SECURITE:-$securite}" "$suite_securite" "$t/Sources-securite"
      fichiers "$1" "$2" "$t/Sources-securite" || return 1
      echo "set(${1}_POOL $securite/pool/updates/main)"
    fi
    echo "set(${1}_FICHIERS"
    cat "$t/fichiers"
  }
  en_partant "rm -f '$installes.part'"
  {
    echo "# What scripts/epingler.sh --installes read: the toolchains installed, and their"
    echo "# Debian source files' sha256 from the archive's signed Sources."
    for p in "${paquets[@]}"; do
      binaire=$(liste "${p}_BINAIRE")
      [ -n "$binaire" ] || echec "$p is no toolchain of versions.cmake (no ${p}_BINAIRE)"
      version=$(dpkg-query -W -f='${source:Version}' "$binaire" 2>/dev/null) || echec "$binaire is not installed"
      sources_de "$p" "$version" || echec "the $p $version installed here is in no Sources of" \
        "$(liste DEBIAN_SUITES) at $archive, nor of $suite_securite: no bill of materials can name its sources" \
        "(apt upgrade installs the one served)"
      # The sources it was built from besides its own (Built-Using): gcc-mingw-w64's
      # are gcc-12's, "gcc-12 (= 12.2.0-14+deb12u1)".
      construit=""
      while read -r s v; do
        [ -n "$s" ] || continue
        sources_de "$s" "$v" || echec "$binaire was built from $s $v, which no Sources of $(liste DEBIAN_SUITES)" \
          "nor of $suite_securite names"
        construit+=" $s"
      done < <(dpkg-query -W -f='${Built-Using}\n' "$binaire" | tr ',' '\n' | sed -n 's/^ *\([^ ]*\) (= \([^)]*\)).*/\1 \2/p')
      [ -z "$construit" ] || echo "set(${p}_CONSTRUIT${construit})"
    done
  } >"$installes.part"
  mv "$installes.part" "$installes"
  exit
fi

cp "$versions" "$t/avant.cmake"
for p in "${paquets[@]}"; do
  grep -q "^set(${p//./\\.}_DEBIAN " "$versions" || echec "$p is not pinned in versions.cmake"
  # The newest version the suites name.
  version=""
  for v in $(awk -v p="$p" '/^Package: /{q=($2==p)} q&&/^Version: /{print $2}' "$t/Sources"); do
    [ -n "$version" ] && dpkg --compare-versions "$v" le "$version" || version=$v
  done
  [ -n "$version" ] || echec "$archive serves no $p in the Sources of $(liste DEBIAN_SUITES)"
  # A version's files never change in Debian's archive: its pin stays as it is.
  [ "$version" != "$(liste "${p}_DEBIAN")" ] || { echo "$p: $version, pinned already"; continue; }
  fichiers "$p" "$version" || echec "no files for $p $version in the Sources"
  awk -v p="$p" -v v="$version" -v fichiers="$t/fichiers" '
    index($0, "set(" p "_DEBIAN ") == 1 { print "set(" p "_DEBIAN " v ")"; next }
    $0 == "set(" p "_FICHIERS" { print; while ((getline l < fichiers) > 0) print l; saute = 1; next }
    saute { saute = ($0 !~ /\)$/); next }
    { print }' "$versions" >"$t/apres.cmake"
  cat "$t/apres.cmake" >"$versions"
  echo "$p: $version"
done
diff -u "$t/avant.cmake" "$versions" || true
