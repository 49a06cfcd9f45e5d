#!/usr/bin/env bash
# Runs every benchmark program of a build folder, one after the other, then the
# batch command against CalculiX ccx (bench/batch), whose closing line, the
# ratio of the two at 1e5 degrees of freedom, ends the output.
set -euo pipefail
build="${1:-build/release}"
found=0
for program in $(ls "$build"/bench/bench_* 2>/dev/null | grep -v '/bench_analysis$'; ls "$build"/bench/bench_analysis 2>/dev/null); do
  [ -x "$program" ] || continue
  found=1
  echo "== $(basename "$program")"
  QT_QPA_PLATFORM=offscreen "$program" --benchmark_repetitions="${BENCH_REPETITIONS:-5}" \
    --benchmark_report_aggregates_only=true --benchmark_color=false
done
[ "$found" = 1 ] || echo "no benchmark programs in $build/bench"
bash "$(dirname "$0")/../bench/batch/run-batch-bench.sh" "$build"
