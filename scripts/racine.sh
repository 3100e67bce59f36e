#!/usr/bin/env bash
# Runs a command in a Debian root, with a copy of this clone as the current folder:
#   racine.sh debian13 scripts/tester.sh linux   Debian 13
#   racine.sh arm64 COMMAND                       Debian 12, where scripts/arm64.sh adds
#                                                 arm64's libraries and cross compiler
#   racine.sh windows COMMAND                     Debian 12, where scripts/windows.sh adds
#                                                 mingw-w64 and Wine
#   racine.sh neuve COMMAND                       a throwaway copy of a new Debian 12
# Each root is made once with debootstrap --variant=minbase from the archive apt
# already uses here, with what a new user has before the README's commands, and kept
# in /var/cache/gavremo; its marker file says it is complete. The arm64 root starts as
# a copy of the new Debian 12, which is never changed itself, and so does the Windows
# one. Needs root.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/commun.sh
# The mounts live in a namespace of their own: they go when the command ends,
# however it ends, and never touch another run in the same root. Inside a chroot,
# whose / is no mount point, no namespace can be made private: there the mounts
# are undone when the command ends.
if [ -z "${GAVREMO_MONTE:-}" ] && mountpoint -q /; then
  exec env GAVREMO_MONTE=1 unshare --mount --propagation private bash "$PWD/scripts/racine.sh" "$@"
fi
[ $# -gt 0 ] || echec "usage: scripts/racine.sh debian13|arm64|windows|neuve [COMMAND...]"
nom=$1
shift
[ $# -gt 0 ] || set -- bash
cache=/var/cache/gavremo
mkdir -p "$cache"

# faire SUITE FOLDER: a new Debian root, as a user has it before the README's commands:
# a compiler, CMake, make, git and sudo, and the release's updates as an install has them.
faire() {
  local suite=$1 racine=$2 miroir
  installer debootstrap
  miroir=$(miroir)
  rm -rf --one-file-system "$racine"
  echo "Making a Debian $suite root in $racine from $miroir"
  journal "$cache/debootstrap.log" debootstrap --variant=minbase "$suite" "$racine" "$miroir"
  echo "deb $miroir $suite-updates main" >>"$racine/etc/apt/sources.list"
  (a_la_fin=""
   monter "$racine"
   journal "$cache/debootstrap.log" chroot "$racine" apt-get update -qq
   journal "$cache/debootstrap.log" chroot "$racine" apt-get install -y -qq \
     -o DPkg::Lock::Timeout=600 --no-install-recommends g++ cmake make git sudo)
  : >"$racine/.gavremo-pret"
}

monter() {
  cp /etc/resolv.conf "$1/etc/resolv.conf"
  # The root trusts what this machine trusts: behind a proxy that inspects TLS, npm
  # needs the proxy's certificate, which this machine's bundle holds.
  [ ! -f /etc/ssl/certs/ca-certificates.crt ] || cp /etc/ssl/certs/ca-certificates.crt "$1/etc/gavremo-ca.crt"
  mount -t proc proc "$1/proc"
  mount --rbind /sys "$1/sys"
  mount --rbind /dev "$1/dev"
  en_partant "umount -R -l '$1/proc'; umount -R -l '$1/sys'; umount -R -l '$1/dev'"
}

# pret SUITE FOLDER: the root made once; one run at a time makes it, and a half-made
# one is made again.
pret() {
  exec 9>"$2.verrou"
  flock 9
  [ -e "$2/.gavremo-pret" ] || faire "$1" "$2"
  flock -u 9
}

case "$nom" in
  debian13) racine=$cache/trixie; pret trixie "$racine" ;;
  arm64 | windows | neuve)
    pret bookworm "$cache/bookworm"
    if [ "$nom" != neuve ]; then
      racine=$cache/$nom
      exec 9>"$racine.verrou"
      flock 9
      if [ ! -e "$racine/.gavremo-pret" ]; then
        rm -rf --one-file-system "$racine" "$racine.copie"
        cp -a "$cache/bookworm" "$racine.copie"
        mv "$racine.copie" "$racine"
      fi
      flock -u 9
    else
      racine=$(mktemp -d /var/tmp/gavremo-neuveXXXXXX)
      en_partant "rm -rf --one-file-system '$racine'"
      cp -a "$cache/bookworm/." "$racine"
    fi ;;
  *) echec "no root named $nom (debian13, arm64, windows or neuve)" ;;
esac
monter "$racine"

# Each clone has a working folder of its own in the root, and holds it for the whole run: two runs of one clone take turns, and one run's
# clean-up never deletes another clone's files. The builds made there are kept.
copie=$(dans_racine)
exec 8>"$racine$copie.verrou"
flock 8
mkdir -p "$racine$copie"
find "$racine$copie" -mindepth 1 -maxdepth 1 ! -name 'build*' -exec rm -rf {} +
tar -c --exclude='./build*' --exclude=./.git --exclude=./tests/web/node_modules . | tar -x -C "$racine$copie"
chroot "$racine" env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin TERM="${TERM:-dumb}" \
  LANG=C.UTF-8 NODE_EXTRA_CA_CERTS=/etc/gavremo-ca.crt bash -c 'cd "$1" && shift && exec "$@"' - "$copie" "$@"
