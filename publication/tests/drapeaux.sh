#!/usr/bin/env bash
# The build's hardening configured for amd64 and for arm64, each with its own
# compiler: each gets its own protection (control flow on x86, branches on arm64)
# and never the other's, which its compiler refuses. Prints what the build adds to
# dpkg-buildflags' own for each.
set -euo pipefail
projet=$(realpath "$(dirname "$0")/../..")
. "$projet/scripts/commun.sh"
essai=$(mktemp -d)
en_partant "rm -rf '$essai'"
cat >"$essai/CMakeLists.txt" <<FIN
cmake_minimum_required(VERSION 3.25)
project(drapeaux C CXX)
include($projet/publication/durcissement.cmake)
file(WRITE \${CMAKE_BINARY_DIR}/drapeaux.txt " \${CMAKE_CXX_FLAGS} ")
FIN
echecs=0
# verifier ARCH WANTED UNWANTED [CMAKE ARGUMENTS]
verifier() {
  local drapeaux
  SOURCE_DATE_EPOCH=1 cmake -S "$essai" -B "$essai/$1" "${@:4}" | sed -n "s/^-- Hardening for //p"
  drapeaux=$(cat "$essai/$1/drapeaux.txt")
  [[ "$drapeaux" == *" $2 "* ]] || { echo "$1: no $2 in$drapeaux"; echecs=1; }
  [[ "$drapeaux" == *" -fstack-clash-protection "* ]] || { echo "$1: no stack clash protection"; echecs=1; }
  [[ "$drapeaux" != *" $3"* ]] || { echo "$1: $3 given to its compiler"; echecs=1; }
}
verifier amd64 -fcf-protection -mbranch-protection
verifier arm64 -mbranch-protection=standard -fcf-protection -DCMAKE_TOOLCHAIN_FILE="$projet/plateforme/compat/arm64.cmake"
exit $echecs
