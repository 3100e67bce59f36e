#!/usr/bin/env bash
# Builds the .deb and its -dbgsym twice with reprotest, from a copy of this tree
# without its builds, varying everything reprotest varies but the user (that
# needs a second account): the two must be the same bytes.
set -euo pipefail
racine=$(realpath "$(dirname "$0")/..")
. "$racine/scripts/commun.sh"
# Some variations need root: a new hostname namespace, FUSE for disorderfs.
if [ "$(id -u)" -ne 0 ]; then echo "not root: reprotest cannot vary the host"; exit 77; fi

copie=$(mktemp -d)
en_partant "rm -rf '$copie'"
tar -c -C "$racine" --exclude='./build*' --exclude=./.git --exclude=./tests/web/node_modules . | tar -x -C "$copie"
cd "$copie"
# reprotest and diffoscope run under Debian's own python3, not the first on PATH.
journal=$(mktemp)
en_partant "rm -f '$journal'"
if ! PATH=/usr/sbin:/usr/bin:/sbin:/bin reprotest --vary=-user_group \
       -c 'cmake --workflow --preset linux' . 'build/*.deb build/*.ddeb' >"$journal" 2>&1 ||
   ! grep -q '^Reproduction successful$' "$journal"; then
  tail -n 60 "$journal"
  exit 1
fi
sed -n '/^Reproduction successful$/,/_amd64\.ddeb$/p' "$journal"
