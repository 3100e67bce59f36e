#!/usr/bin/env bash
# Builds the .deb, its -dbgsym and its bill of materials twice from a copy of this
# tree without its builds: first on a tmpfs, then on the disk with reprotest, varying
# everything reprotest varies but the user (that needs a second account). The two
# must be the same bytes.
set -euo pipefail
racine=$(realpath "$(dirname "$0")/..")
. "$racine/scripts/commun.sh"
# disorderfs mounts the tree over FUSE, and the tmpfs is mounted: both take root here.
if [ "$(id -u)" -ne 0 ]; then echo "not root: reprotest cannot vary the host"; exit 77; fi

# /var/tmp, on the disk even where /tmp is a tmpfs.
ici=$(mktemp -d /var/tmp/gavremo-reproductibleXXXXXX)
en_partant "rm -rf '$ici'"
mkdir "$ici/copie" "$ici/tmpfs"
tar -c -C "$racine" --exclude='./build*' --exclude=./.git --exclude=./tests/web/node_modules . | tar -x -C "$ici/copie"
journal=$ici/journal
# The first build on a tmpfs, which counts a file's blocks otherwise than a disk (the
# package's Installed-Size once followed them), with what reprotest fixes for its own
# first build: umask, locale, time zone, home, one CPU and no address randomisation.
# It is kept where reprotest keeps a build, for reprotest to compare its second with.
if ! mount -t tmpfs gavremo "$ici/tmpfs"; then echo "no tmpfs can be mounted here"; exit 77; fi
en_partant "umount '$ici/tmpfs' 2>/dev/null || umount -l '$ici/tmpfs'"
cp -a "$ici/copie" "$ici/tmpfs/"
if ! (cd "$ici/tmpfs/copie" && umask 0022 &&
      export PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=$PWD LANG=C.UTF-8 LANGUAGE=en_US:en TZ=GMT+12 &&
      unset LC_ALL && taskset -c 0 setarch "$(uname -m)" -R cmake --workflow --preset linux) >"$journal" 2>&1; then
  tail -n 40 "$journal"
  echo "the build on the tmpfs failed"
  exit 1
fi
premier=$ici/premier/source-root
mkdir -p "$premier/build"
cp "$ici"/tmpfs/copie/build/*.deb "$ici"/tmpfs/copie/build/*.ddeb "$ici"/tmpfs/copie/build/*.cdx.json "$premier/build/"
cd "$ici/copie"
# reprotest changes the host name in a user namespace, which the kernel refuses
# to a chrooted process (the Debian 13 root); its other way, through sudo -h,
# Debian 12's sudo refuses.
vary=-user_group
if ! unshare -r --uts true 2>/dev/null; then
  echo "no user namespace here: the host and domain names are not varied"
  vary+=,-domain_host
fi
# reprotest and diffoscope run under Debian's own python3, not the first on PATH;
# reprotest builds under TMPDIR.
if ! TMPDIR=$ici PATH=/usr/sbin:/usr/bin:/sbin:/bin reprotest --vary="$vary" --control-build "$ici/premier" \
       -c 'cmake --workflow --preset linux' . 'build/*.deb build/*.ddeb build/*.cdx.json' >"$journal" 2>&1 ||
   ! grep -q '^Reproduction successful$' "$journal"; then
  # All but the builds' progress: why a build failed, or what differs.
  grep -v '^\[ *[0-9]*%\]' "$journal"
  exit 1
fi
sed -n '/^Reproduction successful$/,$p' "$journal"
