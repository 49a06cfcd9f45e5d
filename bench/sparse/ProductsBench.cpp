// The products of the iterative solve on the cantilevers of the batch
// benchmark (80 × 20 × 20 and 160 × 45 × 45 cells, six tetrahedra each): the
// symmetric blocks on each kernel and on one thread and every core, against
// PETSc's own product by the same matrix in compressed rows on one process.
// The values are random and symmetric: a product's time depends on the
// pattern only.
#include <benchmark/benchmark.h>
#include <omp.h>
#include <petscmat.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "sparse/LargeCantilever.h"
#include "sparse/ThreadedProducts.h"

namespace {

// A number in [-1, 1) from a key (splitmix64).
double Scrambled(std::uint64_t key) {
  key += 0x9E3779B97F4A7C15ull;
  key = (key ^ (key >> 30)) * 0xBF58476D1CE4E5B9ull;
  key = (key ^ (key >> 27)) * 0x94D049BB133111EBull;
  key ^= key >> 31;
  return static_cast<double>(key >> 11) * 0x1.0p-52 - 1.0;
}

// A symmetric matrix with the pattern of the model's stiffness, in compressed rows.
struct Pattern {
  std::int64_t rows = 0;
  std::vector<std::int64_t> start;
  std::vector<std::int32_t> column;
  std::vector<double> value;
};

Pattern PatternOf(int nx, int n) {
  const qor::SolidModel m = qortest::BuildSolidCantilever(nx, n, n, 10.0f, 1.0f, 200000.0f, 0.3f, 100.0f);
  const std::int32_t nodes = m.NodeCount();
  std::vector<std::vector<std::int32_t>> near(nodes);
  for (std::int32_t e = 1; e <= m.ElementCount(); ++e)
    for (int a = 1; a <= 4; ++a)
      for (int b = 1; b <= 4; ++b) near[m.Elements[e].node[a] - 1].push_back(m.Elements[e].node[b] - 1);
  Pattern p;
  p.rows = 3 * static_cast<std::int64_t>(nodes);
  p.start.push_back(0);
  for (std::int32_t i = 0; i < nodes; ++i) {
    std::sort(near[i].begin(), near[i].end());
    near[i].erase(std::unique(near[i].begin(), near[i].end()), near[i].end());
    for (int r = 0; r < 3; ++r) {
      for (std::int32_t j : near[i])
        for (int s = 0; s < 3; ++s) {
          p.column.push_back(3 * j + s);
          // Entry (3i + r, 3j + s) from the unordered pair of its indices: the matrix is symmetric.
          const std::uint64_t lo = std::min(3 * i + r, 3 * j + s), hi = std::max(3 * i + r, 3 * j + s);
          p.value.push_back(Scrambled(lo << 32 | hi));
        }
      p.start.push_back(static_cast<std::int64_t>(p.column.size()));
    }
  }
  return p;
}

const Pattern& Model(int which) {
  static const Pattern small = PatternOf(80, 20), large = PatternOf(160, 45);
  return which == 0 ? small : large;
}

void BM_SymmetricBlocks(benchmark::State& state, int which, qor::ProductKernel kernel, int threads) {
  const Pattern& p = Model(which);
  qor::SymmetricBlocks blocks;
  if (!blocks.Build(p.rows, p.start.data(), p.column.data(), p.value.data())) {
    state.SkipWithError("pattern refused");
    return;
  }
  std::vector<double> x(p.rows, 1.0), y(p.rows);
  for (auto _ : state) {
    blocks.Multiply(x.data(), y.data(), threads, kernel);
    benchmark::DoNotOptimize(y.data());
  }
  state.counters["dofs"] = static_cast<double>(p.rows);
}

void BM_PetscAij(benchmark::State& state, int which) {
  const Pattern& p = Model(which);
  const std::vector<PetscInt> start(p.start.begin(), p.start.end());
  Mat A = nullptr;
  Vec x = nullptr, y = nullptr;
  MatCreateSeqAIJWithArrays(PETSC_COMM_SELF, p.rows, p.rows, const_cast<PetscInt*>(start.data()),
                            const_cast<PetscInt*>(p.column.data()), const_cast<double*>(p.value.data()), &A);
  MatCreateVecs(A, &x, &y);
  VecSet(x, 1.0);
  for (auto _ : state) MatMult(A, x, y);
  state.counters["dofs"] = static_cast<double>(p.rows);
  VecDestroy(&x);
  VecDestroy(&y);
  MatDestroy(&A);
}

}  // namespace

int main(int argc, char** argv) {
  PetscInitializeNoArguments();
  const char* sizes[] = {"1e5", "1e6"};
  for (int which = 0; which < 2; ++which) {
    benchmark::RegisterBenchmark((std::string("products/petsc-aij/") + sizes[which]).c_str(), BM_PetscAij, which)
        ->Unit(benchmark::kMillisecond);
    for (const auto& [kernel, name] : {std::pair{qor::ProductKernel::Plain, "plain"},
                                       std::pair{qor::ProductKernel::Avx2Fma, "avx2fma"}}) {
      if (!qor::ProductKernelAvailable(kernel)) continue;
      for (const int threads : {1, omp_get_max_threads()}) {
        benchmark::RegisterBenchmark((std::string("products/blocks[") + name + "]/" + sizes[which] + "/threads:" +
                                      std::to_string(threads))
                                         .c_str(),
                                     BM_SymmetricBlocks, which, kernel, threads)
            ->Unit(benchmark::kMillisecond);
        if (omp_get_max_threads() == 1) break;
      }
    }
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  PetscFinalize();
  return 0;
}
