#!/usr/bin/env bash
# Runs a command in a Debian 13 root with a copy of this clone as the current
# folder: debian13.sh scripts/tester.sh linux. The root is made once from the
# archive apt already uses here and kept in /var/cache/gavremo between runs;
# the marker file says it is complete. Needs root.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/commun.sh
# The mounts live in a namespace of their own: they go when the command ends,
# however it ends, and never touch another run in the same root. Inside a chroot,
# whose / is no mount point, no namespace can be made private: there the mounts
# are undone when the command ends.
if [ -z "${GAVREMO_MONTE:-}" ] && mountpoint -q /; then
  exec env GAVREMO_MONTE=1 unshare --mount --propagation private bash "$PWD/scripts/debian13.sh" "$@"
fi
racine=/var/cache/gavremo/trixie
pret=$racine/.gavremo-pret
[ $# -gt 0 ] || set -- bash

monter() {
  cp /etc/resolv.conf "$racine/etc/resolv.conf"
  mount -t proc proc "$racine/proc"
  mount --rbind /sys "$racine/sys"
  mount --rbind /dev "$racine/dev"
  [ -n "${GAVREMO_MONTE:-}" ] ||
    en_partant "umount -R -l '$racine/proc'; umount -R -l '$racine/sys'; umount -R -l '$racine/dev'"
}

mkdir -p /var/cache/gavremo
exec 9>/var/cache/gavremo/trixie.verrou
# One run at a time makes the root; a half-made one is started again.
flock 9
if [ ! -e "$pret" ]; then
  installer debootstrap
  miroir=$(miroir)
  rm -rf --one-file-system "$racine"
  echo "Making a Debian 13 root in $racine from $miroir"
  journal /var/cache/gavremo/debootstrap.log debootstrap --variant=minbase trixie "$racine" "$miroir"
  monter
  # What a new user has before the README's commands: a compiler, CMake, make and git.
  journal /var/cache/gavremo/debootstrap.log chroot "$racine" apt-get install -y -qq \
    -o DPkg::Lock::Timeout=600 --no-install-recommends g++ cmake make git
  : >"$pret"
else
  monter
fi
flock -u 9

# Each clone has a working folder of its own in the root, named after its full path,
# and holds it for the whole run: two runs of one clone take turns, and one run's
# clean-up never deletes another clone's files. The builds made there are kept.
copie=/srv/gavremo-$(printf %s "$PWD" | sha1sum | cut -c1-12)
exec 8>"$racine$copie.verrou"
flock 8
mkdir -p "$racine$copie"
find "$racine$copie" -mindepth 1 -maxdepth 1 ! -name 'build*' -exec rm -rf {} +
tar -c --exclude='./build*' --exclude=./.git --exclude=./tests/web/node_modules . | tar -x -C "$racine$copie"
chroot "$racine" env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin TERM="${TERM:-dumb}" \
  LANG=C.UTF-8 bash -c 'cd "$1" && shift && exec "$@"' - "$copie" "$@"
