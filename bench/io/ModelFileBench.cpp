// Save and Open of the largest model the file takes (997 nodes, 1997
// elements, 7 materials, 497 supports), on disk and in memory, and the import
// of the tripod mesh.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <random>

#include "io/FileText.h"
#include "io/GidMesh.h"
#include "io/ModelFile.h"
#include "io/ModelSamples.h"

namespace fs = std::filesystem;

namespace {

std::unique_ptr<qor::ModelStore> FullModel() {
  auto store = std::make_unique<qor::ModelStore>();
  std::mt19937 random(1);
  qor::testing::FillRandomModel(*store, random, qor::MaxFileNodes, qor::MaxFileElements, qor::MaxFileMaterials,
                                qor::MaxFileSupports);
  return store;
}

std::string TemporaryPath(const char* name) {
  return (fs::temp_directory_path() / (std::string("qor-bench-") + std::to_string(::getpid()) + name)).string();
}

void BM_SaveFullModel(benchmark::State& state) {
  const auto store = FullModel();
  const std::string path = TemporaryPath("-save.q3d");
  for (auto _ : state) {
    if (!qor::SaveModelFile(*store, path).ok) state.SkipWithError("save failed");
  }
  fs::remove(path);
}
BENCHMARK(BM_SaveFullModel)->Unit(benchmark::kMillisecond);

void BM_OpenFullModel(benchmark::State& state) {
  const std::string path = TemporaryPath("-open.q3d");
  qor::SaveModelFile(*FullModel(), path);
  auto store = std::make_unique<qor::ModelStore>();
  auto densities = std::make_unique<qor::DensityTable>();
  for (auto _ : state) {
    if (!qor::OpenModelFile(path, *store, *densities).ok) state.SkipWithError("open failed");
  }
  fs::remove(path);
}
BENCHMARK(BM_OpenFullModel)->Unit(benchmark::kMillisecond);

void BM_WriteFullModelText(benchmark::State& state) {
  const auto store = FullModel();
  for (auto _ : state) benchmark::DoNotOptimize(qor::WriteModelText(*store));
}
BENCHMARK(BM_WriteFullModelText)->Unit(benchmark::kMillisecond);

void BM_ReadFullModelText(benchmark::State& state) {
  const std::string text = qor::WriteModelText(*FullModel());
  auto store = std::make_unique<qor::ModelStore>();
  auto densities = std::make_unique<qor::DensityTable>();
  for (auto _ : state) benchmark::DoNotOptimize(qor::ReadModelText(text, *store, *densities).ok);
}
BENCHMARK(BM_ReadFullModelText)->Unit(benchmark::kMillisecond);

void BM_ImportTripod(benchmark::State& state) {
  const std::string path = (fs::path(QOR_DATA_DIR) / "gid/softrobots_tripod_low_tet4_no_material.gidmsh").string();
  auto store = std::make_unique<qor::ModelStore>();
  for (auto _ : state) {
    if (!qor::ImportGidFile(path, *store).ok) state.SkipWithError("import failed");
  }
}
BENCHMARK(BM_ImportTripod)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
