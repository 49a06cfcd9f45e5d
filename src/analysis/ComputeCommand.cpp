#include "analysis/ComputeCommand.h"

#include <cmath>

#include "analysis/SolverWorkspace.h"

namespace qor {

namespace {
constexpr const char* kCaption = "Obliczenia";

// Results smaller than this are shown and stored as exact zeros.
float CleanSmall(float value) { return std::fabs(static_cast<double>(value)) < 1e-8 ? 0.0f : value; }
}  // namespace

bool ModelTooLarge(const ModelStore& s) {
  return s.ElementCount >= ElementLimit || s.NodeCount >= NodeLimit || 3 * s.NodeCount >= DofLimit ||
         s.SupportCount >= SupportLimit || s.MaterialCount >= MaterialLimit;
}

UserMessage ComputationFailedMessage() { return {"Błąd podczas obliczeń", kCaption, MessageStyle::Stop}; }

std::optional<UserMessage> CheckComputable(const ModelStore& store) {
  if (ModelTooLarge(store)) return LimitMessage(LimitElements);
  if (store.ElementCount < 1) return UserMessage{"Brak zdefiniowanych elementów", kCaption, MessageStyle::Stop};
  if (store.MaterialCount < 1) return UserMessage{"Brak zdefiniowanych materiałów", kCaption, MessageStyle::Stop};
  if (store.SupportCount < 1) return UserMessage{"Brak zdefiniowanych podpór", kCaption, MessageStyle::Stop};
  return std::nullopt;
}

void FillWorkspace(const ModelStore& store, bool useDensities, SolverWorkspace& ws) {
  ws.ElementCount = store.ElementCount;
  ws.NodeCount = store.NodeCount;
  ws.SupportCount = store.SupportCount;
  ws.MaterialCount = store.MaterialCount;
  ws.DofCount = store.DofCount;
  for (int e = 1; e <= store.ElementCount; ++e) {
    for (int a = 1; a <= 4; ++a) ws.ElementNodes[e][a] = store.Elements[e].node[a];
    ws.ElementMaterials[e] = store.Elements[e].material;
  }
  for (int n = 1; n <= store.NodeCount; ++n) {
    ws.X[n] = store.Nodes[n].x;
    ws.Y[n] = store.Nodes[n].y;
    ws.Z[n] = store.Nodes[n].z;
  }
  for (int d = 1; d <= store.DofCount; ++d) {
    ws.Loads[d] = store.Forces[d];
    ws.Rhs[d] = store.Forces[d];
  }
  for (int j = 1; j <= store.SupportCount; ++j) {
    ws.SupportDofs[j] = store.Supports[j].dof;
    ws.SupportValues[j] = store.Supports[j].value;
  }
  for (int m = 1; m <= store.MaterialCount; ++m) {
    ws.MaterialE[m] = store.Materials[m].E;
    ws.MaterialNu[m] = store.Materials[m].nu;
  }
  for (int e = 1; e <= store.ElementCount; ++e) ws.ElementDensities[e] = useDensities ? Densities[e] : 1.0f;
}

void CopyResults(const SolverWorkspace& ws, ModelStore& store) {
  for (int d = 1; d <= store.DofCount; ++d) store.Displacements[d] = CleanSmall(ws.Rhs[d]);
  for (int e = 1; e <= store.ElementCount; ++e) {
    StressRow& row = store.Stresses[e];
    for (int k = 1; k <= 6; ++k) row[k] = CleanSmall(ws.ElementStresses[e][k]);
    row[Reduced] = ReducedStress(row[1], row[2], row[3], row[4], row[5], row[6]);
  }
}

ComputeOutcome ComputeModel(ModelStore& store, bool useDensities, SolverWorkspace& ws) {
  if (auto refusal = CheckComputable(store)) return {*refusal, false, false};
  store.DofCount = 3 * store.NodeCount;
  FillWorkspace(store, useDensities, ws);
  SolveModel(ws);
  if (ws.Status != SolveOk) return {ComputationFailedMessage(), true, false};
  CopyResults(ws, store);
  return {{"Obliczono.", kCaption, MessageStyle::Exclamation}, true, true};
}

ComputeOutcome ComputeModel(ModelStore& store, bool useDensities) {
  return ComputeModel(store, useDensities, TheSolverWorkspace);
}

}  // namespace qor
