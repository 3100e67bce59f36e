#!/bin/sh
# Runs the page's link with what the linker says it took (-Wl,--trace: each object and
# archive member, one a line) written to the file given first: licences.cmake gives a
# notice for each library named there.
#   lien.sh TRACE em++ ... -Wl,--trace
trace=$1
shift
exec "$@" >"$trace"
