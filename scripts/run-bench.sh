#!/usr/bin/env bash
# Runs every benchmark program of a build folder, one after the other.
set -euo pipefail
build="${1:-build/release}"
found=0
for program in "$build"/bench/bench_*; do
  [ -x "$program" ] || continue
  found=1
  echo "== $(basename "$program")"
  QT_QPA_PLATFORM=offscreen "$program" --benchmark_repetitions="${BENCH_REPETITIONS:-5}" \
    --benchmark_report_aggregates_only=true --benchmark_color=false
done
[ "$found" = 1 ] || echo "no benchmark programs in $build/bench"
