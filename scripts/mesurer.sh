#!/usr/bin/env bash
# Builds the benchmark and runs it under SDL's dummy video driver, then in an X
# window on Xvfb. Prints each case beside its bare-SDL twin and their ratio.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/installer.sh tests
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build-bench -j"$(nproc)" --target bench >/dev/null
export SDL_AUDIODRIVER=dummy
echo "== dummy video driver"
SDL_VIDEODRIVER=dummy build-bench/bench --benchmark_min_time=0.3 --benchmark_repetitions=5 --benchmark_report_aggregates_only=true "$@"
. scripts/xvfb.sh
echo "== x11 video driver on Xvfb"
SDL_VIDEODRIVER=x11 build-bench/bench --benchmark_min_time=0.3 --benchmark_repetitions=5 --benchmark_report_aggregates_only=true "$@"
