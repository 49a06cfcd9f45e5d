// The Gmsh reader on a block of n × n × n cubes split into six tetrahedra
// each, written as gmsh writes MSH 4.1 (one volume entity in one physical
// group): n = 56 gives 185193 nodes and 1053696 tetrahedra, about 45 MB.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "io/GmshMesh.h"

namespace {

std::string BlockMesh(int n) {
  const int side = n + 1, nodes = side * side * side, elements = 6 * n * n * n;
  std::string text = "$MeshFormat\n4.1 0 8\n$EndMeshFormat\n$PhysicalNames\n1\n3 1 \"blok\"\n$EndPhysicalNames\n";
  text += "$Entities\n0 0 0 1\n1 0 0 0 1 1 1 1 1 0\n$EndEntities\n";
  char line[160];
  std::snprintf(line, sizeof line, "$Nodes\n1 %d 1 %d\n3 1 0 %d\n", nodes, nodes, nodes);
  text += line;
  for (int t = 1; t <= nodes; ++t) text += std::to_string(t) + "\n";
  for (int t = 0; t < nodes; ++t) {
    std::snprintf(line, sizeof line, "%.16g %.16g %.16g\n", (t % side) / double(n), (t / side % side) / double(n) * 0.7,
                  (t / side / side) / double(n) * 1.3);
    text += line;
  }
  std::snprintf(line, sizeof line, "$EndNodes\n$Elements\n1 %d 1 %d\n3 1 4 %d\n", elements, elements, elements);
  text += line;
  const int corner[6][4] = {{0, 1, 3, 7}, {0, 1, 5, 7}, {0, 2, 3, 7}, {0, 2, 6, 7}, {0, 4, 5, 7}, {0, 4, 6, 7}};
  int tag = 0;
  for (int k = 0; k < n; ++k)
    for (int j = 0; j < n; ++j)
      for (int i = 0; i < n; ++i) {
        int c[8];
        for (int v = 0; v < 8; ++v) c[v] = 1 + (i + v % 2) + side * ((j + v / 2 % 2) + side * (k + v / 4));
        for (const auto& t : corner) {
          std::snprintf(line, sizeof line, "%d %d %d %d %d\n", ++tag, c[t[0]], c[t[1]], c[t[2]], c[t[3]]);
          text += line;
        }
      }
  return text + "$EndElements\n";
}

void BM_ReadGmshBlock(benchmark::State& state) {
  const std::string text = BlockMesh(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    qor::MeshWithGroups mesh;
    if (!qor::ReadGmshMesh(text, mesh).ok) state.SkipWithError("refused");
    benchmark::DoNotOptimize(mesh.model.Elements.data());
  }
  state.counters["tetrahedra"] = 6.0 * state.range(0) * state.range(0) * state.range(0);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadGmshBlock)->Arg(20)->Arg(56)->Unit(benchmark::kMillisecond);

}  // namespace
