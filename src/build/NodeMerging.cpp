#include "build/NodeMerging.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "build/NodeRemoval.h"

namespace qor {
namespace {

bool Coincide(const NodeRow& a, const NodeRow& b, float tx, float ty, float tz) {
  // Each difference is rounded to float before it is compared, so nodes one
  // float step apart stay apart with zero tolerances.
  const float dx = std::fabs(a.x - b.x);
  const float dy = std::fabs(a.y - b.y);
  const float dz = std::fabs(a.z - b.z);
  return dx <= tx && dy <= ty && dz <= tz;
}

// The direction (1 x, 2 y, 3 z) of `dof` when it belongs to node n, else 0.
int DirectionAtNode(std::int32_t dof, std::int32_t n) {
  return dof >= DofOf(n, 1) && dof <= DofOf(n, 3) ? dof - DofOf(n, 1) + 1 : 0;
}

// Hands the supports of node i to node j: a row of i becomes a row of j in the
// same direction unless j (or an earlier row of i) already holds that direction,
// so each degree of freedom of the survivor is supported once. The rows keep
// their order and prescribed values.
void MoveSupports(ModelStore& store, std::int32_t i, std::int32_t j) {
  bool held[4] = {false, false, false, false};
  for (std::int32_t r = 1; r <= store.SupportCount; ++r)
    if (const int c = DirectionAtNode(store.Supports[r].dof, j)) held[c] = true;
  RemoveSupportRows(store, [&](std::int32_t dof) {
    const int c = DirectionAtNode(dof, i);
    if (c == 0) return false;
    const bool duplicate = held[c];
    held[c] = true;
    return duplicate;
  });
  for (std::int32_t r = 1; r <= store.SupportCount; ++r)
    if (const int c = DirectionAtNode(store.Supports[r].dof, i)) store.Supports[r].dof = DofOf(j, c);
}

// Fuses node i into node j: element references, supports and loads, then the
// node table. Nothing the user put on node i is lost: its supports and forces
// go to j, which stands at the same point.
void FuseNode(ModelStore& store, std::int32_t i, std::int32_t j) {
  for (std::int32_t e = 1; e <= store.ElementCount; ++e) {
    for (int c = 1; c <= 4; ++c) {
      std::int32_t& ref = store.Elements[e].node[c];
      if (ref == i) ref = j;
      if (ref > i) --ref;
    }
  }
  MoveSupports(store, i, j);
  RenumberSupportsAfterNode(store, i);
  for (int c = 1; c <= 3; ++c)
    SetForceEntry(store, DofOf(j, c), ForceEntry(store, DofOf(j, c)) + ForceEntry(store, DofOf(i, c)));
  CloseUpNode(store, i);
}

bool ForcesFinite(const ModelStore& store) {
  for (std::int32_t n = 1; n <= store.NodeCount; ++n)
    for (int c = 1; c <= 3; ++c)
      if (!std::isfinite(ForceEntry(store, DofOf(n, c)))) return false;
  return true;
}

}  // namespace

float ForceEntry(const ModelStore& store, std::int32_t dof) {
  return dof >= 1 && dof <= DofCapacity ? store.Forces[dof] : 0.0f;
}

void SetForceEntry(ModelStore& store, std::int32_t dof, float value) {
  if (dof >= 1 && dof <= DofCapacity) store.Forces[dof] = value;
}

std::int32_t MergeCoincidentNodes(ModelStore& store, std::int32_t first, std::int32_t last, float tx, float ty,
                                  float tz, MergeScope scope) {
  // Only existing nodes are examined, whatever range the caller names.
  first = std::max(first, 1);
  last = std::min(last, store.NodeCount);
  std::int32_t lo = first, hi = last;
  if (scope == AgainstAll) {
    lo = 1;
    hi = store.NodeCount;
  }
  std::int32_t removed = 0;
  std::int32_t i = first;
  while (i <= last) {
    std::int32_t partner = 0;
    for (std::int32_t j = lo; j <= hi; ++j) {
      if (j != i && Coincide(store.Nodes[i], store.Nodes[j], tx, ty, tz)) {
        partner = j;
        break;
      }
    }
    if (partner == 0) {
      ++i;
      continue;
    }
    FuseNode(store, i, partner);
    ++removed;
    // Number i now holds the node that followed the fused one: examine it again.
    if (last >= i) --last;
    if (hi >= i) --hi;
  }
  return removed;
}

UserMessage RemovedNodesMessage(std::int32_t removed) {
  return {"Usunięto " + std::to_string(removed) + " węzłów.", "Usuwanie węzłów", MessageStyle::Plain};
}

CommandOutcome RemoveDuplicateNodes(ModelStore& store) {
  // The fusing runs on a copy: forces added up at a survivor may exceed the
  // float range, and then the model stays as it was.
  auto fused = std::make_unique<ModelStore>(store);
  const std::int32_t removed = MergeCoincidentNodes(*fused, 1, fused->NodeCount, 0, 0, 0, AgainstAll);
  CommandOutcome outcome;
  if (!ForcesFinite(*fused)) {
    outcome.message = UserMessage{"Suma sił w łączonych węzłach wykracza poza zakres liczb.\nNie usunięto węzłów.",
                                  "Usuwanie węzłów", MessageStyle::Exclamation};
    return outcome;
  }
  store = *fused;
  outcome.message = RemovedNodesMessage(removed);
  if (removed > 0) {
    store.ResultsValid = 0;
    outcome.repaint = true;
  }
  return outcome;
}

}  // namespace qor
