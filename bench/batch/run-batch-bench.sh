#!/usr/bin/env bash
# The batch command against CalculiX ccx on the cantilever family (10 x 1 x 1,
# E = 200000, nu = 0.3, clamped at x = 0, 100 in -z over the end face) at about
# 1e4, 1e5 and 1e6 degrees of freedom: whole-process wall time and peak memory
# of `qor3d-batch MODEL --vtk OUT.vtu` from reading to writing, and of ccx on
# the --inp deck of the same model with OMP_NUM_THREADS = the cores (ccx only
# up to 1e5); at 1e6 on one process (its threads on every core, and on one
# thread) and on two processes under mpirun. The last line is
# the ratio of our figures to ccx's at 1e5.
#
#   run-batch-bench.sh BUILD_FOLDER
# BENCH_BATCH_SIZES (default "1e4 1e5 1e6") chooses the models.
set -euo pipefail
build="$(cd "${1:-build/release}" && pwd)"
batch="$build/src/batch/qor3d-batch"
here="$(cd "$(dirname "$0")" && pwd)"
work="$build/bench-batch"
mkdir -p "$work"
cores="$(nproc)"
export LC_ALL=C OMPI_ALLOW_RUN_AS_ROOT=1 OMPI_ALLOW_RUN_AS_ROOT_CONFIRM=1 OMPI_MCA_rmaps_base_oversubscribe=1
have_ccx=0
command -v ccx >/dev/null && have_ccx=1

declare -A blocks=([1e4]="40 8 8" [1e5]="80 20 20" [1e6]="160 45 45")

# Wall seconds and peak resident kilobytes of a command, as "SECONDS KB"; its output goes to $2.log.
measure() {
  local log="$1"
  shift
  /usr/bin/time -f "%e %M" -o "$log.time" "$@" >"$log.log" 2>&1 || {
    echo "failed: $* (see $log.log)" >&2
    return 1
  }
  cat "$log.time"
}

# The largest deflection in -z among the nodes of the CSV table.
tip_of_csv() { awk -F, 'NR > 1 && $7 < min { min = $7 } END { printf "%.7g", min }' "$1"; }
tip_of_dat() {
  awk '/displacements/ { on = 1; next } /stresses/ { on = 0 } on && NF == 4 && $4 < min { min = $4 }
       END { printf "%.7g", min }' "$1"
}
megabytes() { awk -v kb="$1" 'BEGIN { printf "%.0f MB", kb / 1024 }'; }

echo "== batch/ccx ($(lscpu | sed -n 's/^Model name: *//p'), $cores cores)"
for size in ${BENCH_BATCH_SIZES:-1e4 1e5 1e6}; do
  model="$work/cantilever-$size.q3d"
  [ -s "$model" ] || python3 "$here/cantilever.py" ${blocks[$size]} "$model"
  dofs=$(awk 'NR == 1 { print 3 * $2; exit }' "$model")
  read -r ours oursKb < <(measure "$work/batch-$size" "$batch" "$model" --vtk "$work/out-$size.vtu")
  "$batch" "$model" --quiet --nodes-csv "$work/nodes-$size.csv" --inp "$work/deck-$size.inp" >/dev/null
  reading=$(sed -n 's/^Odczyt: \([0-9.]*\) s.*/\1 s/p' "$work/batch-$size.log")
  echo "batch $size ($dofs dofs): ${ours} s, $(megabytes "$oursKb"), reading ${reading:-< 1 s}," \
    "tip $(tip_of_csv "$work/nodes-$size.csv")"
  if [ "$size" = 1e6 ]; then
    # One process runs its products on every core; on one thread it shows what the processes add.
    read -r one oneKb < <(measure "$work/batch-$size-t1" env OMP_NUM_THREADS=1 "$batch" "$model" --vtk "$work/out-$size.vtu")
    echo "batch $size on 1 process of one thread: ${one} s, $(megabytes "$oneKb")"
    read -r two twoKb < <(measure "$work/batch-$size-np2" mpirun -np 2 "$batch" "$model" --vtk "$work/out-$size.vtu")
    echo "batch $size on 2 processes: ${two} s, $(megabytes "$twoKb") in the largest process" \
      "(1 process: ${ours} s on $cores threads, ${one} s on one)"
  elif [ "$have_ccx" = 1 ]; then
    (cd "$work" && measure "$work/ccx-$size" env OMP_NUM_THREADS="$cores" ccx -i "deck-$size") >"$work/ccx-$size.figures"
    read -r theirs theirsKb <"$work/ccx-$size.figures"
    echo "ccx $size ($dofs dofs, $cores threads): ${theirs} s, $(megabytes "$theirsKb"), tip $(tip_of_dat "$work/deck-$size.dat")"
    if [ "$size" = 1e5 ]; then
      ratio=$(awk -v a="$ours" -v b="$theirs" -v c="$oursKb" -v d="$theirsKb" \
        'BEGIN { printf "time %.3f, memory %.3f", a / b, c / d }')
      # The products' kernel of a processor without AVX2, on this one.
      read -r plain plainKb < <(measure "$work/batch-$size-plain" env QOR3D_PRODUCTS=plain "$batch" "$model" \
        --vtk "$work/out-$size.vtu")
      echo "batch $size on the plain product kernel: ${plain} s, $(megabytes "$plainKb")," \
        "$(awk -v a="$plain" -v b="$theirs" 'BEGIN { printf "time %.3f", a / b }') of ccx"
    fi
  fi
done
[ -n "${ratio:-}" ] && echo "batch/ccx at 1e5 dofs: $ratio"
exit 0
