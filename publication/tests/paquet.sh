#!/usr/bin/env bash
# The Debian source package built and checked as Debian checks packages, one step a
# call, each step's files in DIR (the build folder's paquet/):
#   paquet.sh source DIR        the tarballs and the .dsc, by scripts/source.sh
#   paquet.sh debian12|debian13|unstable|i386 DIR
#                               built from the .dsc in a clean root (build-essential
#                               and the Build-Depends, no network, a plain user), with
#                               its tests; its bill of materials made from the .deb.
#                               i386: in unstable, the binaries alone, as Salsa CI's
#                               build-i386 job builds them
#   paquet.sh lintian[.unstable] DIR
#                               lintian --pedantic: no error, no warning; Debian 12's,
#                               or unstable's on the unstable build
#   paquet.sh blhc DIR          blhc --debian on the build's log, and no flag twice
#   paquet.sh contenu DIR       the program's hardening, no build path, the validators
#   paquet.sh nomenclature DIR  the bill of materials against the .deb
#   paquet.sh piuparts[.debian13|.unstable] DIR
#                               install, purge, and the upgrade from 1.0.0, in the
#                               build's own release
#   paquet.sh autopkgtest[.debian13|.unstable] DIR
#                               the installed package's tests, in the build's own
#                               release; on Debian 12's, they must fail with a
#                               picture missing
#   paquet.sh overlay DIR       a clean root made while /var/tmp is on overlayfs, as
#                               in a container
#   paquet.sh reproductible DIR built again on a tmpfs, elsewhere, otherwise: same bytes
#   paquet.sh arm64 DIR         the arm64 .deb, in the root of scripts/arm64.sh
# Needs root, and a machine rather than a root: it makes roots of its own.
set -euo pipefail
projet=$(realpath "$(dirname "$0")/../..")
. "$projet/scripts/commun.sh"
etape=$1
dossier=$(realpath -m "$2")
# A step on another release than Debian 12 names it after a dot: piuparts.unstable.
suite=debian12
[[ "$etape" != *.* ]] || suite=${etape#*.} etape=${etape%%.*}
version=$(version_paquet)   # the package's, 1.0.0-1
amont=${version%-*}         # the game's, 1.0.0
arch=$(dpkg --print-architecture)
besoin() { for f; do [ -e "$f" ] || echec "no $f: its step has not run"; done; }

# The bill of materials beside a .deb, from the package as built, naming the compiler
# that built it: paquet.sh --nomenclature DEB COMPILER CHANGELOG
if [ "$etape" = --nomenclature ]; then
  arbre=$(mktemp -d)
  en_partant "rm -rf '$arbre'"
  dpkg-deb -R "$2" "$arbre"
  # The game alone: the font is fonts-blankenburg's, a package it depends on.
  cmake -DTITRE="the .deb" -DDOSSIER="$arbre" -DCONTROLE="$arbre/DEBIAN/control" -DVERSION="$amont" \
    -DCOMPOSANTS=gavremo -DNOTICES=usr/share/doc/gavremo/copyright \
    -DDATE="$(dpkg-parsechangelog -l "$4" -S Timestamp)" -DCOMPILATEUR="$3" -DSORTIE="${2%.deb}.cdx.json" \
    -P "$projet/publication/nomenclature.cmake"
  exit
fi

# In a clean root: paquet.sh --dedans SUITE [USER UMASK PATH DPKG-BUILDPACKAGE-OPTION...]
if [ "$etape" = --dedans ]; then
  suite=$2 qui=${3:-constructeur} masque=${4:-0022} ou=${5:-/build}
  options=("${@:6}")
  DEBIAN_FRONTEND=noninteractive apt-get -qq update
  profils=()
  [[ "${DEB_BUILD_OPTIONS:-}" != *nocheck* ]] || profils=(-Pnocheck)
  DEBIAN_FRONTEND=noninteractive apt-get -y -qq --no-install-recommends "${profils[@]}" \
    build-dep ./source/gavremo_$version.dsc >/dev/null
  useradd -m "$qui"
  mkdir -p "$ou"
  cp source/gavremo_* "$ou/"
  chown -R "$qui:" "$ou"
  # No network; only the user's own files writable.
  unshare --net runuser -u "$qui" -- sh -c "umask $masque && cd $ou && dpkg-source -x gavremo_$version.dsc &&
    cd gavremo-$amont && dpkg-buildpackage -us -uc ${profils[*]} ${options[*]}" >"$suite/journal.txt" 2>&1 ||
    { tail -n 40 "$suite/journal.txt"; exit 1; }
  find "$ou" -maxdepth 1 -type f -name 'gavremo*' -exec cp {} "$suite/" \;
  bash /srv/clone/publication/tests/paquet.sh --nomenclature "$suite"/gavremo_${version}_*.deb /usr/bin/g++ \
    "$ou/gavremo-$amont/debian/changelog"
  exit
fi

# In a mount namespace of its own, with /var/tmp made an overlayfs (lower, upper and
# work folders on a tmpfs at T): a clean root, written in. paquet.sh --overlay T
if [ "$etape" = --overlay ]; then
  mount -t tmpfs gavremo "$dossier"
  mkdir "$dossier/bas" "$dossier/haut" "$dossier/travail"
  mount -t overlay overlay -o "lowerdir=$dossier/bas,upperdir=$dossier/haut,workdir=$dossier/travail" /var/tmp
  echo "/var/tmp: $(stat -f -c %T /var/tmp)"
  # shellcheck disable=SC2016
  exec "$projet/scripts/racine.sh" debian12-nu "$dossier" --hote sh -c 'chroot "$GAVREMO_RACINE" touch /etc/gavremo-essai &&
    stat -f -c "changes on: %T" "$GAVREMO_RACINE/.."'
fi

if [ "$(id -u)" -ne 0 ]; then echo "not root: no root can be made, nor a package installed"; exit 77; fi

if [ "$etape" = arm64 ]; then   # in the arm64 root, where arm64.sh built the package
  deb=$dossier/gavremo_${version}_arm64.deb
  besoin "$deb"
  lintian --fail-on error,warning "$dossier/gavremo_${version}_arm64.changes"
  t=$(mktemp -d)
  en_partant "rm -rf '$t'"
  dpkg-deb -x "$deb" "$t"
  # hardening-check runs this machine's objdump, which cannot read arm64's code: it
  # proves neither stack clash nor branch protection there (the test branches does).
  hardening-check --nocfprotection "$t/usr/libexec/gavremo/gavremo"
  installe gavremo && echec "gavremo is already installed: left as it is"
  en_partant "! installe gavremo || DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq gavremo >/dev/null"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$deb" >/dev/null
  (cd "$projet" && bash debian/tests/jeu)
  node "$projet/publication/tests/nomenclature.js" "${deb%.deb}.cdx.json" "$deb"
  exit
fi

# Inside a root already (the Debian 13 one), / is no mount point: no root in a root.
if ! mountpoint -q /; then echo "in a root already: the Debian roots are not made here"; exit 77; fi
d12=$dossier/debian12
# The build checked, and its release's clean root and codename.
construit=$dossier/$suite
changes=$construit/gavremo_${version}_$arch.changes
deb=$construit/gavremo_${version}_$arch.deb
dbgsym=$construit/gavremo-dbgsym_${version}_$arch.deb
case "$suite" in
  debian12) nom=bookworm ;;
  debian13) nom=trixie ;;
  unstable) nom=sid ;;
  *) echec "no release $suite" ;;
esac

case "$etape" in
  source)
    rm -rf "$dossier/source"
    "$projet/scripts/source.sh" "$dossier/source" ;;

  debian12 | debian13 | unstable | i386)
    besoin "$dossier/source/gavremo_$version.dsc"
    rm -rf "${dossier:?}/$etape"
    mkdir -p "$dossier/$etape"
    if [ "$etape" = i386 ]; then
      # The binaries alone: the source package is the amd64 build's. A kernel that
      # runs no i386 program skips it, unless qemu-user is asked for (racine.sh).
      statut=0
      "$projet/scripts/racine.sh" unstable-i386-nu "$dossier" bash /srv/clone/publication/tests/paquet.sh \
        --dedans i386 constructeur 0022 /build -B || statut=$?
      [ $statut = 0 ] || exit $statut
    else
      "$projet/scripts/racine.sh" "$etape-nu" "$dossier" bash /srv/clone/publication/tests/paquet.sh --dedans "$etape"
    fi
    ls "$dossier/$etape"/*.deb ;;

  lintian)
    besoin "$changes"
    # Every override says why, on the comment line above it.
    for f in "$projet"/debian/*lintian-overrides "$projet"/debian/source/lintian-overrides; do
      [ -e "$f" ] || continue
      awk -v f="$f" '!/^#/ && NF && prec !~ /^#/ { print f ": no reason given for " $0; n++ } { prec = $0 }
        END { exit n > 0 }' "$f"
    done
    # shellcheck disable=SC2054  # one option's value, error,warning
    lint=(lintian --pedantic --display-info --fail-on error,warning)
    if [ "$suite" = debian12 ]; then
      # Debian 12's lintian knows Policy up to 4.6.2; the package follows unstable's,
      # which unstable's lintian checks.
      "${lint[@]}" --suppress-tags newer-standards-version "$changes"
    else
      # Salsa CI's lintian: the release's own, in its clean root, run by a plain user.
      "$projet/scripts/racine.sh" "$suite-nu" "$dossier" sh -c 'apt-get -qq update &&
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends lintian >/dev/null &&
        useradd -m lint && lintian --version && exec runuser -u lint -- "$@"' - "${lint[@]}" "${changes#"$dossier"/}"
    fi ;;

  blhc)
    besoin "$d12/journal.txt"
    blhc --debian "$d12/journal.txt"
    # Each compile and link line: no option twice, which blhc does not see.
    awk '/(^|[ \/])(cc|c\+\+|gcc|g\+\+|[a-z0-9_]+-linux-gnu-(gcc|g\+\+))(-[0-9]+)? / {
           delete vu
           for (i = 1; i <= NF; i++) if ($i ~ /^-([fmWDOgz]|specs)/ && vu[$i]++ == 1) { print "twice: " $i " in: " $0; n++ }
           lignes++
         }
         END { if (!lignes) { print "no compile line in the log"; n++ }
               else if (!n) print lignes " compile and link lines, no option twice"
               exit n > 0 }' \
      "$d12/journal.txt" ;;

  contenu)
    besoin "$deb" "$dbgsym"
    t=$(mktemp -d)
    en_partant "rm -rf '$t'"
    dpkg-deb -x "$deb" "$t/deb"
    dpkg-deb -x "$dbgsym" "$t/dbgsym"
    # Every check but control-flow protection, which Debian's C library cannot give
    # (docs/paquet.md); stack clash protection may only be "unknown". Branch
    # protection is arm64's, but Debian 13's hardening-check asks it of amd64 too.
    sauf=(--nocfprotection)
    [[ "$(hardening-check --help 2>&1 || true)" != *--nobranchprotection* ]] || sauf+=(--nobranchprotection)
    hardening-check "${sauf[@]}" "$t/deb/usr/libexec/gavremo/gavremo"
    # The build's folder in the clean root.
    statut=0
    trouves=$(grep -r -l --binary-files=text -F /build/gavremo "$t/deb" "$t/dbgsym") || statut=$?
    [ "$statut" = 1 ] || echec "the build's path is written in: $trouves"
    avis=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$t/deb/usr/share/man/man6/gavremo.6.gz" 2>&1 >/dev/null)
    [ -z "$avis" ] || echec "manual page: $avis"
    appstreamcli validate --no-net "$t/deb/usr/share/metainfo/org.example.gavremo.metainfo.xml"
    desktop-file-validate "$t/deb/usr/share/applications/gavremo.desktop"
    echo "hardened, free of the build's path, its manual page, menu entry and metadata valid" ;;

  nomenclature)
    besoin "${deb%.deb}.cdx.json"
    # dh's Depends, as the bill names them.
    grep -q '"pkg:deb/debian/libsdl1.2debian"' "${deb%.deb}.cdx.json" || echec "the bill names no libsdl1.2debian"
    node "$projet/publication/tests/nomenclature.js" "${deb%.deb}.cdx.json" "$deb" ;;

  piuparts)
    besoin "$deb"
    # The package as CPack made it before it was built from debian/, offered in a
    # repository of its own, so that piuparts upgrades from it.
    ancien=$(mktemp -d)
    en_partant "rm -rf '$ancien' '$ancien.log'"
    cp "$projet/publication/tests/paquet/gavremo_1.0.0_amd64.deb" "$ancien/"
    (cd "$ancien" && dpkg-scanpackages . >Packages 2>/dev/null)
    # piuparts makes the release from its clean root's minbase tarball, which racine.sh
    # makes with the root. Unstable's snapshot is past its Valid-Until (racine.sh).
    "$projet/scripts/racine.sh" "$suite-nu" "$ancien" true
    # A newer apt leaves debconf's folder of extracted templates behind, which
    # unstable's piuparts (1.6) ignores and Debian 12's does not know. The upgrade
    # from CPack's 1.0.0, a Debian 12 package, is checked on Debian 12 alone.
    options=(-i /var/cache/debconf/tmp.ci/)
    [ "$suite" = debian12 ] || options+=(--no-upgrade-test)
    [ "$suite" != unstable ] || options+=(--no-check-valid-until)
    piuparts -b "$GAVREMO_CACHE/$nom-nu.tar.gz" -d "$nom" -m "$(miroir)" --bindmount="$ancien" "${options[@]}" \
      --extra-repo="deb [trusted=yes] file://$ancien ./" "$deb" >"$ancien.log" 2>&1 ||
      { tail -n 40 "$ancien.log"; echec "piuparts failed"; }
    grep -E 'PASS: |upgrade' "$ancien.log" | tail -n 5 ;;

  autopkgtest)
    besoin "$changes"
    t=$(mktemp -d)
    en_partant "rm -rf '$t'"
    # The chroot runner takes the root's path, which racine.sh gives as GAVREMO_RACINE.
    lancer() { "$projet/scripts/racine.sh" "$suite-nu" "$construit" --hote \
                 sh -c 'exec autopkgtest "$@" -- chroot "$GAVREMO_RACINE"' - "$@" >"$t/journal" 2>&1; }
    lancer "$changes" || { tail -n 30 "$t/journal"; echec "autopkgtest failed on the package as built"; }
    grep -E '^[a-z-]+ +PASS' "$t/journal"
    # Then, once, on Debian 12's build: with a picture missing from the package, that
    # must fail (autopkgtest's 4: a test failed), not pass nor break otherwise.
    [ "$suite" = debian12 ] || exit 0
    dpkg-deb -R "$deb" "$t/arbre"
    rm "$t/arbre/usr/share/games/gavremo/rsrc_img/perdu.jpg"
    sed -i '/rsrc_img\/perdu.jpg/d' "$t/arbre/DEBIAN/md5sums"
    dpkg-deb -b "$t/arbre" "$t/gavremo_${version}_$arch.deb" >/dev/null
    statut=0
    lancer "$t/gavremo_${version}_$arch.deb" "$d12/gavremo_$version.dsc" || statut=$?
    [ "$statut" = 4 ] || { tail -n 30 "$t/journal"; echec "with perdu.jpg missing, autopkgtest ended $statut, not 4"; }
    grep -E '^[a-z-]+ +FAIL' "$t/journal" ;;

  reproductible)
    besoin "$deb"
    # Each pair must be the same bytes. The source package as source.sh made it here,
    # and as dpkg-buildpackage made it again in the clean root.
    paires=()
    for f in gavremo_$version.dsc gavremo_$version.debian.tar.xz gavremo_$amont.orig.tar.xz; do
      paires+=("$dossier/source/$f" "$d12/$f")
    done
    # The second builder: a tmpfs, another user and umask, another path, no tests,
    # one CPU, another time zone. Binaries only: dpkg-source takes the modes of the
    # files it packs from the disk, where the umask set them.
    rm -rf "$dossier/bis"
    mkdir -p "$dossier/bis/debian12"
    cp -a "$dossier/source" "$dossier/bis/"
    GAVREMO_TMPFS=1 "$projet/scripts/racine.sh" debian12-nu "$dossier/bis" env TZ=GMT-9 \
      DEB_BUILD_OPTIONS="nocheck parallel=1" bash /srv/clone/publication/tests/paquet.sh --dedans debian12 autre 0077 \
      /var/tmp/ailleurs -b
    for f in gavremo_${version}_$arch.deb gavremo-dbgsym_${version}_$arch.deb; do
      paires+=("$d12/$f" "$dossier/bis/debian12/$f")
    done
    differents=()
    set -- "${paires[@]}"
    while [ $# -gt 0 ]; do
      cmp -s "$1" "$2" || { differents+=("$(basename "$1")"); diffoscope --text - "$1" "$2" | head -n 40 || true; }
      shift 2
    done
    [ ${#differents[@]} -eq 0 ] || echec "built twice, these differ: ${differents[*]}"
    echo "the same bytes from both builders: the .deb, its dbgsym, the .dsc and the tarballs" ;;

  overlay)
    # /var/tmp on overlayfs, as a container's root is, in a mount namespace of its own:
    # a clean root made there keeps its changes on a tmpfs, and says so once.
    t=$(mktemp -d)
    en_partant "rm -rf '$t'"
    unshare --mount --propagation private "$0" --overlay "$t" >"$t/journal" 2>&1 ||
      { cat "$t/journal"; echec "no root made with /var/tmp on overlayfs"; }
    cat "$t/journal"
    grep -qx '/var/tmp: overlayfs' "$t/journal" || echec "/var/tmp was not on overlayfs: nothing was shown"
    grep -qx 'changes on: tmpfs' "$t/journal" || echec "the root's changes were not on a tmpfs"
    [ "$(grep -c 'overlayfs, as in a container' "$t/journal")" = 1 ] || echec "racine.sh did not say once why a tmpfs"
    [ ! -e "$GAVREMO_CACHE/bookworm-nu/etc/gavremo-essai" ] || echec "the clean root itself was changed" ;;

  *) echec "no step $etape" ;;
esac
