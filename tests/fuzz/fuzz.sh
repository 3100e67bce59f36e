#!/usr/bin/env bash
# Runs one fuzz target on one format: fuzz.sh CIBLE FORMAT RECOLTES DEPARTS...
# First every file kept in tests/fuzz/corpus/FORMAT once, then a fixed number of
# runs with a fixed seed, from the starting files and the kept ones, so that a run
# never depends on luck. Prints the executions and the coverage reached; fails on
# any crash, hang, leak or sanitizer report.
set -euo pipefail
cible=$1 format=$2 recoltes=$3
shift 3
corpus=$(dirname "$0")/corpus/$format
journal=$(mktemp)
trap 'rm -f "$journal"' EXIT
regles=(-timeout=10 -rss_limit_mb=2048 -max_len=8192 -print_final_stats=1)
echouer() { tail -n 40 "$journal"; echo "$format: $*"; exit 1; }

"$cible" "${regles[@]}" "$corpus"/* >"$journal" 2>&1 || echouer "a file of $corpus failed"
echo "$format: the $(ls "$corpus" | wc -l) files kept in $corpus pass"
rm -rf "$recoltes" && mkdir -p "$recoltes"
cp "$@" "$corpus"/* "$recoltes"/
"$cible" "${regles[@]}" -runs="${FUZZ_RUNS:-50000}" -seed=1 "$recoltes" >"$journal" 2>&1 ||
  echouer "failed; the input is in $PWD"
grep -E '^#[0-9]+[[:space:]]+DONE' "$journal" | sed "s/^/$format: /"
grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$journal" | sed "s/^/$format: /"
