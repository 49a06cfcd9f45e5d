#include "analysis/ComputeCommand.h"

#include <cmath>
#include <exception>
#include <string>

#include "analysis/SolverWorkspace.h"

namespace qor {

namespace {
constexpr const char* kCaption = "Obliczenia";

void StoredStresses(const SolverWorkspace& ws, int e, StressRow& row) {
  qor::StoredStresses(ws.ElementStresses[e].data(), row);
}

char DirectionLetter(int dof) { return "xyz"[(dof - 1) % 3]; }
std::string NodeOf(int dof) { return std::to_string((dof + 2) / 3); }

bool NodeInAnyElement(const SolverWorkspace& ws, int node) {
  for (int e = 1; e <= ws.ElementCount; ++e)
    for (int a = 1; a <= 4; ++a)
      if (ws.ElementNodes[e][a] == node) return true;
  return false;
}

// What the user is told below "Błąd podczas obliczeń": where the solver found
// the fault, when it knows.
std::string FailureDetail(const SolverWorkspace& ws) {
  if (ws.Status == SolveSingular && ws.FailureDof > 0) {
    const std::string node = NodeOf(ws.FailureDof);
    const std::string free =
        std::string(" może się swobodnie przemieszczać w kierunku ") + DirectionLetter(ws.FailureDof) + ".";
    if (!NodeInAnyElement(ws, (ws.FailureDof + 2) / 3))
      return "Węzeł " + node + " nie należy do żadnego elementu i" + free;
    return "Węzeł " + node + free;
  }
  if (ws.Status == SolveInputError && ws.FailureMaterial > 0) return MaterialFailureDetail(ws.FailureMaterial);
  if (ws.Status == SolveInputError && ws.FailureElement > 0)
    return ElementFailureDetail(ws.FailureElement, ws.ElementDensities[ws.FailureElement]);
  if (ws.Status == SolveStressError && ws.FailureElement > 0) return StressFailureDetail(ws.FailureElement);
  return {};
}

// The first result that does not fit a float, described; nothing when all fit.
std::optional<std::string> ResultOutOfRange(const SolverWorkspace& ws) {
  for (int d = 1; d <= ws.DofCount; ++d)
    if (!std::isfinite(CleanSmall(ws.Rhs[d]))) return DisplacementOutOfRangeDetail(d);
  for (int e = 1; e <= ws.ElementCount; ++e) {
    StressRow row{};
    StoredStresses(ws, e, row);
    for (int k = 1; k <= 7; ++k)
      if (!std::isfinite(row[k])) return StressOutOfRangeDetail(e);
  }
  return std::nullopt;
}

// Why a model over the limits is refused, named by the limit it exceeds: the
// degrees of freedom (665 nodes) are the usual one, well before the element
// table is full.
UserMessage TooLargeMessage(const ModelStore& store) {
  if (store.ElementCount >= ElementLimit) return LimitMessage(LimitElements);
  if (store.SupportCount >= SupportLimit) return LimitMessage(LimitSupports);
  if (store.MaterialCount >= MaterialLimit) return LimitMessage(LimitMaterials);
  constexpr std::int32_t largest = (DofLimit - 1) / 3;
  return {"Model ma " + std::to_string(store.NodeCount) + " węzłów, a obliczenia w oknie obejmują najwyżej " +
              std::to_string(largest) + " węzłów (" + std::to_string(3 * largest) + " stopni swobody).",
          "Kontrola liczby węzłów", MessageStyle::Plain,
          "Większe modele oblicza polecenie qor3d-batch, np.: qor3d-batch model.q3d --vtk wyniki.vtu"};
}

}  // namespace

float CleanSmall(double result) {
  const float value = static_cast<float>(result);
  return std::fabs(static_cast<double>(value)) < 1e-8 ? 0.0f : value;
}

void StoredStresses(const double stress[8], StressRow& row) {
  for (int k = 1; k <= 6; ++k) row[k] = CleanSmall(stress[k]);
  row[Reduced] = static_cast<float>(ReducedStress(row[1], row[2], row[3], row[4], row[5], row[6]));
}

std::string MaterialFailureDetail(int material) {
  return "Materiał " + std::to_string(material) +
         " ma niepoprawne stałe: moduł Younga E musi być dodatni, a współczynnik Poissona ni większy od -1 i "
         "mniejszy od 0,5.";
}

std::string ElementFailureDetail(int element, float density) {
  const std::string name = "Element " + std::to_string(element);
  if (!(std::isfinite(density) && density >= 0.0f)) return name + " ma ujemną lub niepoprawną gęstość z pliku.";
  return name + " ma zerową objętość: jego węzły leżą w jednej płaszczyźnie.";
}

std::string StressFailureDetail(int element) {
  return "Nie można obliczyć naprężeń w elemencie " + std::to_string(element) + ".";
}

std::string DisplacementOutOfRangeDetail(int dof) {
  return "Przemieszczenie węzła " + NodeOf(dof) + " w kierunku " + DirectionLetter(dof) + " przekracza zakres liczb.";
}

std::string StressOutOfRangeDetail(int element) {
  return "Naprężenie w elemencie " + std::to_string(element) + " przekracza zakres liczb.";
}

bool ModelTooLarge(const ModelStore& s) {
  return s.ElementCount >= ElementLimit || s.NodeCount >= NodeLimit || 3 * s.NodeCount >= DofLimit ||
         s.SupportCount >= SupportLimit || s.MaterialCount >= MaterialLimit;
}

UserMessage ComputationFailedMessage() { return {"Błąd podczas obliczeń", kCaption, MessageStyle::Stop}; }

std::optional<UserMessage> MissingModelData(std::int32_t elements, std::int32_t materials, std::int32_t supports) {
  if (elements < 1) return UserMessage{"Brak zdefiniowanych elementów", kCaption, MessageStyle::Stop};
  if (materials < 1) return UserMessage{"Brak zdefiniowanych materiałów", kCaption, MessageStyle::Stop};
  if (supports < 1) return UserMessage{"Brak zdefiniowanych podpór", kCaption, MessageStyle::Stop};
  return std::nullopt;
}

std::optional<UserMessage> CheckComputable(const ModelStore& store) {
  if (ModelTooLarge(store)) return TooLargeMessage(store);
  return MissingModelData(store.ElementCount, store.MaterialCount, store.SupportCount);
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
  for (int e = 1; e <= store.ElementCount; ++e) StoredStresses(ws, e, store.Stresses[e]);
}

ComputeOutcome ComputeModel(ModelStore& store, bool useDensities, SolverWorkspace& ws) {
  if (auto refusal = CheckComputable(store)) return {*refusal, false, false};
  store.DofCount = 3 * store.NodeCount;
  FillWorkspace(store, useDensities, ws);
  SolveModel(ws);
  UserMessage failed = ComputationFailedMessage();
  std::optional<std::string> cause;
  if (ws.Status != SolveOk)
    cause = FailureDetail(ws);
  else
    // Numbers beyond the range of floats would be shown and saved as nonsense.
    cause = ResultOutOfRange(ws);
  if (cause) {
    failed.detail = *cause;
    if (useDensities) AddDensitiesNote(failed);
    return {failed, true, false};
  }
  CopyResults(ws, store);
  return {{"Obliczono.", kCaption, MessageStyle::Exclamation}, true, true};
}

void AddDensitiesNote(UserMessage& failed) {
  failed.detail += std::string(failed.detail.empty() ? "" : "\n") +
                   "Sztywności elementów pomnożono przez gęstości z pliku (\"Gęstości z pliku\").";
}

ComputeOutcome ComputeModel(ModelStore& store, bool useDensities) {
  return ComputeModel(store, useDensities, TheSolverWorkspace);
}

ComputeOutcome RunComputeCommand(ModelStore& store, bool useDensities) {
  ComputeOutcome outcome;
  try {
    outcome = ComputeModel(store, useDensities);
  } catch (const std::exception&) {
    outcome = {ComputationFailedMessage(), true, false};
  }
  if (outcome.attempted) store.ResultsValid = outcome.succeeded ? 1 : 0;
  return outcome;
}

}  // namespace qor
