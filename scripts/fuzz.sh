#!/usr/bin/env bash
# Builds the libFuzzer targets of the file readers with clang
# (AddressSanitizer and UndefinedBehaviorSanitizer) and runs each for a bounded
# time. FUZZ_SECONDS sets the time per reader (default 150); FUZZ_TARGETS picks
# the readers (default "model gid gmsh"). The corpus grows in fuzz-out/corpus/<reader>,
# seeded from fuzz/seeds/<reader> and, for the mesh readers, from the GiD and
# Gmsh samples of the tests (tests/data/gid, tests/data/gmsh). Each target is
# built when it is to run. A finding stops the run with a non-zero status; its
# input is left in fuzz-out/artifacts/<reader>/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${FUZZ_SECONDS:-150}"
targets="${FUZZ_TARGETS:-model gid gmsh}"
build=build/fuzz
out=fuzz-out
sample_gid=tests/data/gid
sample_gmsh=tests/data/gmsh

CXX="${FUZZ_CXX:-clang++}"
flags=(-std=c++20 -O1 -g -fno-omit-frame-pointer -fsanitize=fuzzer,address,undefined
       -fno-sanitize-recover=undefined -Isrc -Ifuzz)
library=(src/io/*.cpp src/solid/SolidModel.cpp src/model/ModelStore.cpp src/platform/NumberText.cpp)

mkdir -p "$build"
build_target() {  # name source
  local binary="$build/$1"
  local newest
  newest=$(ls -t "$2" fuzz/FuzzCheck.h "${library[@]}" src/io/*.h src/solid/*.h src/model/*.h src/platform/NumberText.h | head -n 1)
  if [ ! -x "$binary" ] || [ "$newest" -nt "$binary" ]; then
    echo "== building $1"
    # The binary .vtu writer compresses with zlib. A target that does not
    # build ends the run: nothing could be fuzzed.
    "$CXX" "${flags[@]}" "$2" "${library[@]}" -lz -o "$binary" || exit 1
  fi
}

run_target() {  # reader binary dictionary seed folders...
  local reader="$1" binary="$2" dictionary="$3"
  shift 3
  local corpus="$out/corpus/$reader" artifacts="$out/artifacts/$reader/"
  mkdir -p "$corpus" "$artifacts"
  local seeds=()
  for folder in "$@"; do [ -d "$folder" ] && seeds+=("$folder"); done
  echo "== fuzzing the $reader reader for $seconds s"
  "$binary" "$corpus" "${seeds[@]}" -dict="$dictionary" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -max_len=131072 -print_final_stats=1 -artifact_prefix="$artifacts"
}

for target in $targets; do
  case "$target" in
    model) build_target fuzz_model fuzz/ModelFileFuzz.cpp && run_target model "$build/fuzz_model" fuzz/model.dict fuzz/seeds/model ;;
    gid) build_target fuzz_gid fuzz/GidMeshFuzz.cpp && run_target gid "$build/fuzz_gid" fuzz/gid.dict fuzz/seeds/gid "$sample_gid" ;;
    gmsh) build_target fuzz_gmsh fuzz/GmshMeshFuzz.cpp && run_target gmsh "$build/fuzz_gmsh" fuzz/gmsh.dict fuzz/seeds/gmsh "$sample_gmsh" ;;
    *) echo "unknown fuzz target $target" >&2; exit 2 ;;
  esac
done
