// Speed of the model-building operations that scan the whole model.
#include <benchmark/benchmark.h>

#include "build/Generators.h"
#include "build/NodeMerging.h"

namespace {

// 997 nodes of which the upper half are coincident twins of the lower half,
// with every node in some element and a support on every tenth node.
void DuplicateNodeModel(qor::ModelStore& store) {
  store = qor::ModelStore{};
  store.NodeCount = 997;
  for (int n = 1; n <= 997; ++n) {
    const int base = n <= 499 ? n : n - 498;
    store.Nodes[n] = {static_cast<float>(base % 10), static_cast<float>(base / 10 % 10),
                      static_cast<float>(base / 100)};
  }
  store.ElementCount = 0;
  for (int n = 1; n + 3 <= 997 && store.ElementCount < 1997; n += 2) {
    qor::ElementRow& row = store.Elements[++store.ElementCount];
    for (int c = 1; c <= 4; ++c) row.node[c] = n + c - 1;
    row.material = 1;
  }
  for (int n = 10; n <= 997 && store.SupportCount < 497; n += 10) store.Supports[++store.SupportCount] = {3 * n, 0};
}

void BM_DuplicateNodes997HalfTwinned(benchmark::State& state) {
  static qor::ModelStore store;
  for (auto _ : state) {
    state.PauseTiming();
    DuplicateNodeModel(store);
    state.ResumeTiming();
    benchmark::DoNotOptimize(qor::RemoveDuplicateNodes(store));
  }
  state.counters["nodes_left"] = store.NodeCount;
}
BENCHMARK(BM_DuplicateNodes997HalfTwinned)->Unit(benchmark::kMillisecond);

// The most blocks the limits allow: 83 blocks (664 nodes before fusing; 84
// would pass the degree-of-freedom limit). One row of blocks fuses the fewest
// nodes, a compact arrangement with more shared corners is measured beside it.
void BM_LargestDividedCuboid(benchmark::State& state) {
  static qor::ModelStore store;
  qor::CuboidParams p;
  p.DivisionsX = static_cast<int>(state.range(0));
  p.DivisionsY = static_cast<int>(state.range(1));
  p.DivisionsZ = static_cast<int>(state.range(2));
  for (auto _ : state) {
    store.NodeCount = store.ElementCount = store.SupportCount = 0;
    qor::AppendDividedCuboid(store, p);
    benchmark::DoNotOptimize(store.Nodes.data());
  }
  state.counters["nodes"] = store.NodeCount;
  state.counters["elements"] = store.ElementCount;
}
BENCHMARK(BM_LargestDividedCuboid)->Args({83, 1, 1})->Args({1, 1, 83})->Args({4, 4, 5})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
