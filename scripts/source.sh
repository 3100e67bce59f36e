#!/usr/bin/env bash
# The upstream source release, made from the files git tracks (uncommitted edits too),
# without debian/:
#   scripts/source.sh [FOLDER]   (build-source/ in the clone by default)
# FOLDER then holds gavremo_VERSION.orig.tar.xz, the same bytes as gavremo-VERSION.tar.xz
# for other distributions, the bill of materials gavremo-VERSION.cdx.json and, once
# debian/ is there, the Debian source package (.dsc and .debian.tar.xz). All of them are
# the same bytes from any clone, at any time, on any file system, under any umask or locale.
set -euo pipefail
projet=$(realpath "$(dirname "$0")/..")
. "$projet/scripts/commun.sh"
sortie=$(realpath -m "${1:-$projet/build-source}")
cd "$projet"
# Options that tar and xz read from the environment would change their bytes.
unset TAR_OPTIONS XZ_DEFAULTS XZ_OPT
export LC_ALL=C

version=$(version_projet)
[ -n "$version" ] || echec "no version in CMakeLists.txt's project()"
date=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
export SOURCE_DATE_EPOCH=$date
haut=gavremo-$version
orig=gavremo_$version.orig.tar.xz
# Every member as root's, dated with the release, its modes as git has them whatever
# the umask of the checkout.
archive=(tar -c --format=gnu --null --no-recursion -T - --mtime="@$date" --owner=0 --group=0
         --numeric-owner --mode=u=rwX,go=rX)

# tar writes the files in the order given (--sort sorts only folders it walks): git's,
# by bytes, which no file system or locale changes.
mkdir -p "$sortie"
rm -rf "${sortie:?}/$haut"
en_partant "rm -rf '$sortie/$haut'"
suivis . ':(exclude)debian' | "${archive[@]}" --transform="s|^|$haut/|" |
  xz -6 --threads=1 --check=crc64 >"$sortie/$orig"
cp "$sortie/$orig" "$sortie/$haut.tar.xz"

# The bill of materials, of the files as the tarball unpacks them.
tar -x -p -C "$sortie" -f "$sortie/$orig"
# Its notices are the components' own files, where the repository has them; no
# compiler built it.
cmake -DTITRE="the source tarball" -DDOSSIER="$sortie/$haut" -DSORTIE="$sortie/$haut.cdx.json" -DVERSION="$version" \
  -DDATE="$date" "-DCOMPOSANTS=gavremo;Blankenburg" -P publication/nomenclature.cmake

# The Debian source package: that unpacked tree, and debian/ as git tracks it, with the
# same modes and date whatever the checkout's, since its tarball keeps them; its folders
# too, which tar makes under the umask.
suivis debian | "${archive[@]}" | tar -x -p -C "$sortie/$haut"
chmod -R u=rwX,go=rX "$sortie/$haut/debian"
paquet=gavremo_$(version_paquet)
# Dated as dpkg-buildpackage dates it when it packs the source again: from the
# changelog, not the commit.
(cd "$sortie" && env -u SOURCE_DATE_EPOCH dpkg-source -b "$haut" >/dev/null)
faits=("$orig" "$haut.tar.xz" "$haut.cdx.json" "$paquet.dsc" "$paquet.debian.tar.xz")
(cd "$sortie" && sha256sum "${faits[@]}")
