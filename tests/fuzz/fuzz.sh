#!/usr/bin/env bash
# Runs one fuzz target on one format: fuzz.sh CIBLE FORMAT RECOLTES DEPARTS...
# First every file kept in tests/fuzz/corpus/FORMAT once, then a fixed number of
# runs with a fixed seed, from the starting files, the other kinds of that format
# ImageMagick makes of them, and the kept ones, so that a run never depends on luck. Prints the executions and the coverage reached; fails on
# any crash, hang, leak or sanitizer report, and when the coverage stays under the
# format's floor: a target that turns every input away covers next to nothing.
set -euo pipefail
cible=$1 format=$2 recoltes=$3
shift 3
corpus=$(dirname "$0")/corpus/$format
# Runs, longest input, and coverage floor for each format; FUZZ_RUNS overrides the runs.
case "$format" in
  gif) runs=150000 longueur=4096 plancher=250 ;;
  jpeg) runs=5000 longueur=20000 plancher=1500 ;;
  bmp) runs=80000 longueur=4096 plancher=150 ;;
  police) runs=20000 longueur=70000 plancher=3000 ;;
  *) echo "fuzz.sh: unknown format $format" >&2; exit 2 ;;
esac
journal=$(mktemp)
trap 'rm -f "$journal"' EXIT
regles=(-timeout=10 -rss_limit_mb=2048 -max_len=$longueur -print_final_stats=1)
echouer() { tail -n 40 "$journal"; echo "$format: $*"; exit 1; }

if compgen -G "$corpus/*" >/dev/null; then
  "$cible" "${regles[@]}" "$corpus"/* >"$journal" 2>&1 || echouer "a file of $corpus failed"
  echo "$format: the $(ls "$corpus" | wc -l) files kept in $corpus pass"
fi
rm -rf "$recoltes" && mkdir -p "$recoltes"
cp "$@" "$recoltes"/
# Each way the format can store the same picture: an interlaced GIF; a progressive, a
# grey and a CMYK JPEG; BMPs of 1, 4, 8, 16 and 32 bits, and OS/2's.
for f; do
  case "$format" in
    gif) convert "$f" -interlace GIF "$recoltes/entrelacee.gif" ;;
    jpeg) b=$(basename "$f" .jpg)
          convert "$f" -interlace JPEG "$recoltes/$b-progressive.jpg"
          convert "$f" -colorspace Gray "$recoltes/$b-gris.jpg"
          convert "$f" -colorspace CMYK "$recoltes/$b-cmjn.jpg" ;;
    bmp) convert "$f" -type Palette -colors 16 BMP3:"$recoltes/16.bmp"
         convert "$f" -type Palette -compress none BMP3:"$recoltes/256.bmp"
         convert "$f" -monochrome BMP3:"$recoltes/1.bmp"
         convert "$f" -define bmp:subtype=RGB565 BMP:"$recoltes/16bits.bmp"
         convert "$f" -alpha on BMP:"$recoltes/32.bmp"
         convert "$f" BMP2:"$recoltes/os2.bmp" ;;
  esac
done
[ ! -d "$corpus" ] || cp "$corpus"/* "$recoltes"/ 2>/dev/null || true
"$cible" "${regles[@]}" -runs="${FUZZ_RUNS:-$runs}" -seed=1 "$recoltes" >"$journal" 2>&1 ||
  echouer "failed; the input is in $PWD"
fin=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$journal" | tail -n 1)
echo "$format: $fin"
grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$journal" | sed "s/^/$format: /"
couverture=$(sed -nE 's/.*cov: ([0-9]+).*/\1/p' <<<"$fin")
[ "${couverture:-0}" -ge "$plancher" ] || echouer "coverage ${couverture:-0} under the floor of $plancher"
