// The three result files of a model that fills every row of the store (999
// nodes, 1999 elements), each written to disk as the batch command writes it.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <random>

#include "io/ModelSamples.h"
#include "io/ResultsExport.h"

namespace fs = std::filesystem;

namespace {

std::unique_ptr<qor::ModelStore> ModelAtCapacity() {
  auto store = std::make_unique<qor::ModelStore>();
  std::mt19937 random(2);
  qor::testing::FillRandomModel(*store, random, qor::NodeCapacity, qor::ElementCapacity, qor::MaterialCapacity,
                                qor::SupportCapacity);
  // Results with all the digits a float can need.
  std::uniform_real_distribution<float> result(-1e3f, 1e3f);
  for (auto& u : store->Displacements) u = result(random) * 1e-6f;
  return store;
}

template <std::string (*Text)(const qor::ModelStore&)>
void BM_WriteResultsFile(benchmark::State& state) {
  const auto store = ModelAtCapacity();
  const std::string path =
      (fs::temp_directory_path() / ("qor-bench-" + std::to_string(::getpid()) + "-results")).string();
  for (auto _ : state) {
    if (!qor::WriteExportFile(path, Text(*store)).ok) state.SkipWithError("write failed");
  }
  state.counters["bytes"] = static_cast<double>(fs::file_size(path));
  fs::remove(path);
}
BENCHMARK(BM_WriteResultsFile<qor::ResultsVtuText>)->Name("BM_WriteVtuAtCapacity")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteResultsFile<qor::NodeResultsCsvText>)
    ->Name("BM_WriteNodesCsvAtCapacity")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteResultsFile<qor::ElementResultsCsvText>)
    ->Name("BM_WriteElementsCsvAtCapacity")
    ->Unit(benchmark::kMillisecond);

}  // namespace
