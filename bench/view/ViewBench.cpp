// Paint and face-order timings of the three-dimensional view.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <memory>

#include "platform/qt/QtCanvas.h"
#include "view/BlockModel.h"
#include "view/Paint.h"

namespace {

using namespace qor;

// A box at the element limit (1997 tetrahedra on 504 nodes), fixed at one end,
// loaded at the other, with stresses to colour.
ModelStore& FullModel() {
  static std::unique_ptr<ModelStore> store = [] {
    auto s = std::make_unique<ModelStore>();
    AddDividedBox(*s, 0, 0, 0, 10, 8, 7, 6, 7, 8, 1997);
    for (int n = 1; n <= s->NodeCount; ++n) {
      if (s->Nodes[n].x == 0)
        for (int c = 1; c <= 3; ++c) AddSupport(*s, n, c);
      if (s->Nodes[n].x == 10) s->Forces[DofOf(n, 3)] = -100;
      s->Displacements[DofOf(n, 3)] = -1e-4f * s->Nodes[n].x * s->Nodes[n].x;  // bent down, for the deformed shape
    }
    for (int e = 1; e <= s->ElementCount; ++e) s->Stresses[e][Reduced] = static_cast<float>(e % 97);
    s->ResultsValid = 1;
    return s;
  }();
  return *store;
}

void PaintIntoImage(benchmark::State& state, const DisplaySwitches& switches) {
  ModelStore& store = FullModel();
  static ViewState view;
  FillBandColours(view.BandColours);
  SetViewAngles(view, 4500, 31500, 0);
  QImage image(640, 480, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    QPainter painter(&image);
    QtCanvas canvas(painter, 640, 480, 31);
    PaintModel(canvas, store, view, switches, ',', nullptr);
  }
  state.counters["elements"] = store.ElementCount;
}

void BM_PaintWireframe(benchmark::State& state) { PaintIntoImage(state, {}); }

void BM_PaintDepthOrderedFaces(benchmark::State& state) {
  DisplaySwitches switches;
  switches.HiddenLines = true;
  PaintIntoImage(state, switches);
}

void BM_PaintColourMap(benchmark::State& state) {
  DisplaySwitches switches;
  switches.StressMap = true;
  PaintIntoImage(state, switches);
}

// The colour map on the displaced nodes over the grey undeformed wireframe.
void BM_PaintDeformedColourMap(benchmark::State& state) {
  DisplaySwitches switches;
  switches.StressMap = true;
  switches.Displacements = true;
  PaintIntoImage(state, switches);
}

void BM_DepthFaceOrder(benchmark::State& state) {
  ModelStore& store = FullModel();
  static ViewState view;
  SetViewAngles(view, 4500, 31500, 0);
  for (auto _ : state) {
    DepthFaceOrder(store, view, view.Faces);
    benchmark::DoNotOptimize(view.Faces.Entries[1]);
  }
}

// 50 tetrahedra over 60 nodes on a helix, overlapping one another in the
// picture: 200 outer faces, the most the exact order takes.
void BM_ExactFaceOrder200Faces(benchmark::State& state) {
  static ModelStore store;
  if (store.NodeCount == 0) {
    for (int n = 0; n < 60; ++n) AddNode(store, std::cos(n * 0.7f) * 5, std::sin(n * 0.7f) * 5, n * 0.3f);
    for (int e = 0; e < 50; ++e)
      AddTetrahedron(store, 1 + e % 60, 1 + (e + 1) % 60, 1 + (e + 3) % 60, 1 + (e + 7) % 60);
  }
  static ViewState view;
  SetViewAngles(view, 4500, 31500, 0);
  ExactOrderResult result = ExactOrderResult::NoModel;
  for (auto _ : state) result = ExactFaceOrder(store, view, view.Faces, nullptr);
  if (result != ExactOrderResult::Exact || FaceOrderTables().FaceCount != 200) state.SkipWithError("not 200 faces");
}

// A divided box of 192 elements on 81 nodes: 144 outer faces.
void BM_ExactFaceOrderDividedBox(benchmark::State& state) {
  static ModelStore store;
  if (store.NodeCount == 0) AddDividedBox(store, 0, 0, 0, 2, 2, 8, 2, 2, 8);
  static ViewState view;
  SetViewAngles(view, 4500, 31500, 0);
  for (auto _ : state) ExactFaceOrder(store, view, view.Faces, nullptr);
  state.counters["faces"] = FaceOrderTables().FaceCount;
}

BENCHMARK(BM_PaintWireframe)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintDepthOrderedFaces)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintColourMap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintDeformedColourMap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DepthFaceOrder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExactFaceOrder200Faces)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExactFaceOrderDividedBox)->Unit(benchmark::kMillisecond);

}  // namespace

// The paint writes text, which needs a GUI application for its fonts.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
