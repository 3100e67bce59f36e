#!/usr/bin/env bash
# scripts/source.sh in two copies of this clone: one on a tmpfs, by root under umask
# 0022; the other on the disk at another path, seen through disorderfs (each folder
# listed backwards), by nobody under umask 0077, its files dated 1970, in another
# locale and time zone.
# Their release files must be the same bytes; the tarball must hold every file git
# tracks but debian/'s, and nothing else; publication/tests/nomenclature.js checks its bill of
# materials against it.
set -euo pipefail
projet=$(realpath "$(dirname "$0")/../..")
. "$projet/scripts/commun.sh"
export LC_ALL=C
if [ "$(id -u)" -ne 0 ]; then echo "not root: no tmpfs can be mounted, nor another user taken"; exit 77; fi
# A copy without git (the one in a Debian root) has no tracked files to pack.
if [ "$(git -C "$projet" rev-parse --show-toplevel 2>/dev/null)" != "$projet" ]; then
  echo "not a git clone: the tarballs are made from the files git tracks"; exit 77
fi

# /var/tmp, on the disk even where /tmp is a tmpfs.
ici=$(mktemp -d /var/tmp/gavremo-sourceXXXXXX)
en_partant "rm -rf '$ici'"
chmod 755 "$ici"
mkdir -p "$ici/tmpfs" "$ici/dessous" "$ici/une/copie/plus/loin"
if ! mount -t tmpfs gavremo "$ici/tmpfs"; then echo "no tmpfs can be mounted here"; exit 77; fi
en_partant "umount '$ici/tmpfs' 2>/dev/null || umount -l '$ici/tmpfs'"

# copie FOLDER UMASK: a clone of this one (its history dates the release) with this work
# tree's files, edits not yet committed too, and an untracked build, node module and
# debhelper leftover, which must stay out of the tarballs.
copie() {
  (umask "$2"
   git clone -q --no-hardlinks "$projet" "$1"
   cd "$projet" && suivis | tar -c --null -T - | tar -x -m --no-same-permissions -C "$1"
   mkdir -p "$1/build" "$1/tests/web/node_modules/x"
   touch "$1/build/gavremo" "$1/tests/web/node_modules/x/index.js"
   [ ! -d "$1/debian" ] || touch "$1/debian/gavremo.substvars")
}
un=$ici/tmpfs/copie
copie "$un" 0022
copie "$ici/dessous" 0077
find "$ici/dessous" -path "$ici/dessous/.git" -prune -o -exec touch -h -d @0 {} +
chown -R nobody:nogroup "$ici/dessous"
deux=$ici/une/copie/plus/loin
if [ -c /dev/fuse ] && command -v disorderfs >/dev/null &&
   disorderfs -q --reverse-dirents=yes --multi-user=yes "$ici/dessous" "$deux" >/dev/null; then
  en_partant "umount '$deux' 2>/dev/null || umount -l '$deux'"
else
  echo "no disorderfs here: the second copy is listed in the disk's own order"
  rmdir "$deux" && ln -s "$ici/dessous" "$deux"
fi

(cd "$un" && umask 0022 && env -u SOURCE_DATE_EPOCH LC_ALL=C.UTF-8 TZ=UTC scripts/source.sh >/dev/null) ||
  echec "scripts/source.sh failed on the tmpfs"
(cd "$deux" && umask 0077 && env -u SOURCE_DATE_EPOCH -u LC_ALL LANG=C TZ=Pacific/Kiritimati HOME="$deux" \
   setpriv --reuid=nobody --regid=nogroup --clear-groups scripts/source.sh >/dev/null) ||
  echec "scripts/source.sh failed on the disk"

fautes=0
faute() { echo "$*"; fautes=1; }
a=$un/build-source b=$deux/build-source
haut=gavremo-$(version_projet)
paquet=gavremo_$(version_paquet)
faits=("gavremo_${haut#gavremo-}.orig.tar.xz" "$haut.tar.xz" "$haut.cdx.json" "$paquet.dsc" "$paquet.debian.tar.xz")
for f in "${faits[@]}"; do
  if [ ! -f "$a/$f" ] || [ ! -f "$b/$f" ]; then faute "not made: $f"
  else cmp -s "$a/$f" "$b/$f" || faute "differs between the two copies: $f"; fi
done
[ "$(ls -A "$a")" = "$(ls -A "$b")" ] || faute "not the same files made: $(ls -A "$a") / $(ls -A "$b")"
cmp -s "$a/${faits[0]}" "$a/${faits[1]}" || faute "${faits[0]} and ${faits[1]} differ"

# Every tracked file, under one top folder, and nothing else.
tar -tJf "$a/${faits[0]}" >"$ici/membres"
! grep "^$haut/debian/" "$ici/membres" || faute "^ debian/ is in the tarball"
if ! diff <(sed "s|^$haut/||" "$ici/membres" | sort) <(cd "$un" && suivis . ':(exclude)debian' | tr '\0' '\n' | sort); then
  faute "the tarball (<) does not hold the files git tracks (>) under $haut/"
fi

if [ -n "${paquet:-}" ] && ! diff <(tar -tJf "$a/$paquet.debian.tar.xz" | grep -v '/$' | sort) \
                                   <(cd "$un" && suivis debian | tr '\0' '\n' | sort); then
  faute "$paquet.debian.tar.xz (<) does not hold the files git tracks in debian/ (>)"
fi

statut=0
node "$projet/publication/tests/nomenclature.js" "$a/$haut.cdx.json" "$a/$haut.tar.xz" || statut=$?
case $statut in
  0) ;;
  77) [ $fautes = 1 ] || exit 77 ;;
  *) faute "its bill of materials is not true to it" ;;
esac
[ $fautes = 0 ] || exit 1
echo "the same bytes from both copies:"
(cd "$a" && sha256sum "${faits[@]}")
