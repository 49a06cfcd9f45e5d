#include "build/NodeMerging.h"

#include <algorithm>
#include <cmath>
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

// Fuses node i into node j: element references, supports, then the node table.
void FuseNode(ModelStore& store, std::int32_t i, std::int32_t j) {
  for (std::int32_t e = 1; e <= store.ElementCount; ++e) {
    for (int c = 1; c <= 4; ++c) {
      std::int32_t& ref = store.Elements[e].node[c];
      if (ref == i) ref = j;
      if (ref > i) --ref;
    }
  }
  // The fused node's supports are dropped, not transferred to the partner.
  RemoveSupportRows(store, [i](std::int32_t dof) { return dof >= DofOf(i, 1) && dof <= DofOf(i, 3); });
  RenumberSupportsAfterNode(store, i);
  CloseUpNode(store, i);
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
  const std::int32_t removed = MergeCoincidentNodes(store, 1, store.NodeCount, 0, 0, 0, AgainstAll);
  CommandOutcome outcome;
  outcome.message = RemovedNodesMessage(removed);
  if (removed > 0) {
    store.ResultsValid = 0;
    outcome.repaint = true;
  }
  return outcome;
}

}  // namespace qor
