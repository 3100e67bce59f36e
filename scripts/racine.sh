#!/usr/bin/env bash
# Runs a command in a Debian root, with a copy of this clone as the current folder:
#   racine.sh debian13 scripts/tester.sh linux   Debian 13
#   racine.sh unstable scripts/tester.sh linux   Debian unstable, the next Debian
#   racine.sh arm64 COMMAND                       Debian 12, where scripts/arm64.sh adds
#                                                 arm64's libraries and cross compiler
#   racine.sh windows COMMAND                     Debian 12, where scripts/windows.sh adds
#                                                 mingw-w64 and Wine
#   racine.sh neuve COMMAND                       a throwaway copy of a new Debian 12
#   racine.sh debian12-nu|debian13-nu|unstable-nu|unstable-i386-nu DIR [--hote] COMMAND
#                                                 a throwaway copy of a clean Debian 12,
#                                                 13, unstable or unstable for i386, as
#                                                 sbuild builds in: DIR is its
#                                                 /srv/paquet and current folder, the
#                                                 clone is seen read-only at /srv/clone;
#                                                 with --hote, COMMAND runs here with the
#                                                 copy's path in GAVREMO_RACINE;
#                                                 77 for unstable-i386-nu on a kernel
#                                                 that runs no i386 program (see
#                                                 GAVREMO_QEMU_I386 below)
# Each suite's clean root is made once with debootstrap --variant=minbase from the
# archive apt already uses here, with build-essential and nothing more (and the
# minbase root as a gzip tarball beside it, for piuparts); the other roots start as a
# copy of it, with what a new user has before the README's commands. All are kept in
# $GAVREMO_CACHE (/var/cache/gavremo by default); a marker file says each is complete.
# The arm64 root starts as a copy of the new Debian 12, which is never changed itself,
# and so does the Windows one. Needs root.
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
[ $# -gt 0 ] || echec "usage: scripts/racine.sh debian13|unstable|arm64|windows|neuve|debian12-nu|debian13-nu|unstable-nu|unstable-i386-nu [COMMAND...]"
nom=$1
shift
[ $# -gt 0 ] || set -- bash
cache=$GAVREMO_CACHE
mkdir -p "$cache"

# faire SUITE FOLDER [ARCH]: a clean Debian root, with build-essential and the release's
# updates as an install has them; for ARCH rather than this machine's processor.
faire() {
  local suite=$1 racine=$2 arch=${3:-} miroir
  installer debootstrap
  miroir=$(miroir)
  rm -rf --one-file-system "$racine"
  echo "Making a Debian $suite ${arch:+$arch }root in $racine from $miroir"
  if [ -z "$arch" ]; then
    journal "$cache/debootstrap.log" debootstrap --variant=minbase "$suite" "$racine" "$miroir"
  else
    journal "$cache/debootstrap.log" debootstrap --variant=minbase --arch="$arch" --foreign "$suite" "$racine" "$miroir"
    executable "$racine"
    journal "$cache/debootstrap.log" chroot "$racine" /debootstrap/debootstrap --second-stage
  fi
  tar -C "$racine" --sort=name -czf "$racine.tar.gz" .
  if [ "$suite" = sid ]; then
    # Unstable has no updates suite. A mirror that serves it as a dated snapshot keeps
    # a Release past its Valid-Until, which apt then refuses; a live mirror never does.
    echo 'Acquire::Check-Valid-Until "false";' >"$racine/etc/apt/apt.conf.d/99gavremo-instantane"
  else
    echo "deb $miroir $suite-updates main" >>"$racine/etc/apt/sources.list"
  fi
  dans "$racine" build-essential
}

# executable ROOT: the i386 root's programs run here. An amd64 kernel runs them
# itself, unless its 32-bit support is off, as in some virtual machines. There, with
# GAVREMO_QEMU_I386=1, qemu-user runs them (commun.sh's qemu_binfmt; the entry is the
# whole kernel's, and Wine fails under it); without it, racine.sh ends with 77, having
# said why.
executable() {
  ! chroot "$1" /bin/true 2>/dev/null || return 0
  if [ -z "${GAVREMO_QEMU_I386:-}" ]; then
    echo "racine.sh: this kernel runs no i386 program; GAVREMO_QEMU_I386=1 runs them under qemu-user, for every program of the machine, and about ten times slower"
    exit 77
  fi
  # qemu-user-static has no entry for i386, which an amd64 kernel runs itself.
  # shellcheck disable=SC2028  # binfmt_misc reads the escapes itself
  qemu_binfmt i386 ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F'
  chroot "$1" /bin/true || echec "the i386 root's programs do not run here"
}

# dans FOLDER PACKAGE...: the packages installed in the root.
dans() {
  (a_la_fin=""
   monter "$1"
   journal "$cache/debootstrap.log" chroot "$1" apt-get update -qq
   journal "$cache/debootstrap.log" chroot "$1" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
     -o DPkg::Lock::Timeout=600 --no-install-recommends "${@:2}")
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

# pret SUITE: the suite's clean root, SUITE-nu, then its root for users, SUITE: a copy
# of it with a compiler, CMake, make, git and sudo. pret SUITE ARCH: the clean root
# alone, SUITE-ARCH-nu, for another processor. Each made once; one run at a time
# makes it, and a half-made one is made again.
pret() {
  local cle=$1${2:+-$2}
  exec 9>"$cache/$cle.verrou"
  flock 9
  [ -e "$cache/$cle-nu/.gavremo-pret" ] || { faire "$1" "$cache/$cle-nu" "${2:-}"; : >"$cache/$cle-nu/.gavremo-pret"; }
  if [ -z "${2:-}" ] && [ ! -e "$cache/$1/.gavremo-pret" ]; then
    rm -rf --one-file-system "$cache/$1"
    cp -a "$cache/$1-nu" "$cache/$1"
    rm "$cache/$1/.gavremo-pret"
    dans "$cache/$1" g++ cmake make git sudo
    : >"$cache/$1/.gavremo-pret"
  fi
  flock -u 9
}

case "$nom" in
  debian13) racine=$cache/trixie; pret trixie ;;
  unstable) racine=$cache/sid; pret sid ;;
  debian12-nu | debian13-nu | unstable-nu | unstable-i386-nu)
    case "$nom" in
      debian12-nu) suite=bookworm; pret bookworm ;;
      debian13-nu) suite=trixie; pret trixie ;;
      unstable-nu) suite=sid; pret sid ;;
      unstable-i386-nu) suite=sid-i386; pret sid i386; executable "$cache/sid-i386-nu" ;;
    esac
    [ $# -gt 1 ] || echec "usage: scripts/racine.sh $nom DIR [--hote] COMMAND..."
    dossier=$(realpath "$1")
    shift
    # An overlay: the clean root is never changed. Its changes go to a tmpfs when
    # GAVREMO_TMPFS is set, else to the disk. overlayfs takes no upper layer on
    # overlayfs, which a container's root is: there they go to a tmpfs too.
    t=$(mktemp -d /var/tmp/gavremo-nuXXXXXX)
    en_partant "rm -rf --one-file-system '$t'"
    if [ -z "${GAVREMO_TMPFS:-}" ] && [ "$(stat -f -c %T /var/tmp)" = overlayfs ]; then
      echo "racine.sh: /var/tmp is on overlayfs, as in a container: the $nom root's changes go to a tmpfs"
      GAVREMO_TMPFS=1
    fi
    [ -z "${GAVREMO_TMPFS:-}" ] || mount -t tmpfs gavremo "$t"
    mkdir "$t/haut" "$t/travail" "$t/racine"
    mount -t overlay overlay -o "lowerdir=$cache/$suite-nu,upperdir=$t/haut,workdir=$t/travail" "$t/racine"
    en_partant "umount -R -l '$t/racine'; umount -l '$t' 2>/dev/null || true"
    racine=$t/racine
    monter "$racine"
    mkdir -p "$racine/srv/paquet" "$racine/srv/clone"
    mount --bind "$dossier" "$racine/srv/paquet"
    mount --bind "$PWD" "$racine/srv/clone"
    mount -o remount,bind,ro "$racine/srv/clone"
    if [ "$1" = --hote ]; then
      shift
      statut=0
      GAVREMO_RACINE=$racine "$@" || statut=$?
      exit $statut
    fi
    statut=0
    chroot "$racine" env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin TERM="${TERM:-dumb}" \
      LANG=C.UTF-8 bash -c 'cd /srv/paquet && exec "$@"' - "$@" || statut=$?
    exit $statut ;;
  arm64 | windows | neuve)
    pret bookworm
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
  *) echec "no root named $nom (debian13, unstable, arm64, windows, neuve, debian12-nu, debian13-nu, unstable-nu or unstable-i386-nu)" ;;
esac
monter "$racine"

# Each clone has a working folder of its own in the root, and holds it for the whole run: two runs of one clone take turns, and one run's
# clean-up never deletes another clone's files. The builds made there are kept.
copie=$(copie_racine)
exec 8>"$racine$copie.verrou"
flock 8
mkdir -p "$racine$copie"
find "$racine$copie" -mindepth 1 -maxdepth 1 ! -name 'build*' -exec rm -rf {} +
tar -c --exclude='./build*' --exclude=./.git --exclude=node_modules . | tar -x -C "$racine$copie"
chroot "$racine" env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin TERM="${TERM:-dumb}" \
  LANG=C.UTF-8 NODE_EXTRA_CA_CERTS=/etc/gavremo-ca.crt bash -c 'cd "$1" && shift && exec "$@"' - "$copie" "$@"
