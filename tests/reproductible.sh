#!/usr/bin/env bash
# Builds the .deb and its -dbgsym twice with reprotest, from a copy of this tree
# without its builds, varying everything reprotest varies but the user (that
# needs a second account): the two must be the same bytes.
set -euo pipefail
racine=$(realpath "$(dirname "$0")/..")
. "$racine/scripts/commun.sh"
# disorderfs mounts the tree over FUSE, which takes root here.
if [ "$(id -u)" -ne 0 ]; then echo "not root: reprotest cannot vary the host"; exit 77; fi

copie=$(mktemp -d)
en_partant "rm -rf '$copie'"
tar -c -C "$racine" --exclude='./build*' --exclude=./.git --exclude=./tests/web/node_modules . | tar -x -C "$copie"
cd "$copie"
# reprotest changes the host name in a user namespace, which the kernel refuses
# to a chrooted process (the Debian 13 root); its other way, through sudo -h,
# Debian 12's sudo refuses.
vary=-user_group
if ! unshare -r --uts true 2>/dev/null; then
  echo "no user namespace here: the host and domain names are not varied"
  vary+=,-domain_host
fi
# reprotest and diffoscope run under Debian's own python3, not the first on PATH.
journal=$(mktemp)
en_partant "rm -f '$journal'"
if ! PATH=/usr/sbin:/usr/bin:/sbin:/bin reprotest --vary="$vary" \
       -c 'cmake --workflow --preset linux' . 'build/*.deb build/*.ddeb' >"$journal" 2>&1 ||
   ! grep -q '^Reproduction successful$' "$journal"; then
  # All but the builds' progress: why a build failed, or what differs.
  grep -v '^\[ *[0-9]*%\]' "$journal"
  exit 1
fi
sed -n '/^Reproduction successful$/,/_amd64\.ddeb$/p' "$journal"
