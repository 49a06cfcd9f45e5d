#!/usr/bin/env bash
# Runs every benchmark program of a build folder, one after the other, then the
# batch command against CalculiX ccx (bench/batch), whose closing line, the
# ratio of the two at 1e5 degrees of freedom, ends the output.
#
# The analysis benchmark runs once per elimination variant, each against dpbsv
# on BLAS kernels of the same instruction-set class: OpenBLAS reads
# OPENBLAS_CORETYPE when it loads, so the baseline variant runs with an SSE-only
# core (QOR_BASELINE_BLAS_CORE, Nehalem unless set), the AVX2 and AVX-512 ones
# with this environment's BLAS as it is. Then the baseline variant once more
# against the environment's BLAS, and last the dispatched variant.
set -euo pipefail
build="${1:-build/release}"
bench_args=(--benchmark_repetitions="${BENCH_REPETITIONS:-5}" --benchmark_report_aggregates_only=true
  --benchmark_color=false)
found=0
for program in $(ls "$build"/bench/bench_* 2>/dev/null | grep -v '/bench_analysis$'); do
  [ -x "$program" ] || continue
  found=1
  echo "== $(basename "$program")"
  QT_QPA_PLATFORM=offscreen "$program" "${bench_args[@]}"
done
analysis="$build/bench/bench_analysis"
if [ -x "$analysis" ]; then
  found=1
  for variant in avx512f avx2 default; do
    echo "== bench_analysis, variant $variant"
    if [ "$variant" = default ]; then
      OPENBLAS_CORETYPE="${QOR_BASELINE_BLAS_CORE:-Nehalem}" "$analysis" --qor_variant="$variant" "${bench_args[@]}"
    else
      "$analysis" --qor_variant="$variant" "${bench_args[@]}"
    fi
  done
  echo "== bench_analysis, variant default against the environment's BLAS"
  "$analysis" --qor_variant=default --qor_core_in_name --benchmark_filter='^(solver|dpbsv).*/1995$' "${bench_args[@]}"
  echo "== bench_analysis, the dispatched variant"
  "$analysis" --qor_variant=dispatched "${bench_args[@]}"
fi
[ "$found" = 1 ] || echo "no benchmark programs in $build/bench"
bash "$(dirname "$0")/../bench/batch/run-batch-bench.sh" "$build"
