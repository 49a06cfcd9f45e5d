#include "build/NodeRemoval.h"

#include "build/NodeMerging.h"

namespace qor {

std::int32_t RemoveSupportRows(ModelStore& store, const std::function<bool(std::int32_t)>& drop) {
  std::int32_t kept = 0;
  const std::int32_t count = store.SupportCount;
  for (std::int32_t r = 1; r <= count; ++r) {
    if (drop(store.Supports[r].dof)) continue;
    store.Supports[++kept] = store.Supports[r];
  }
  store.SupportCount = kept;
  return count - kept;
}

void RenumberSupportsAfterNode(ModelStore& store, std::int32_t n) {
  for (std::int32_t r = 1; r <= store.SupportCount; ++r)
    if (store.Supports[r].dof > DofOf(n, 3)) store.Supports[r].dof -= 3;
}

void CloseUpNode(ModelStore& store, std::int32_t n) {
  for (std::int32_t k = n + 1; k <= store.NodeCount; ++k) {
    store.Nodes[k - 1] = store.Nodes[k];
    for (int c = 1; c <= 3; ++c) SetForceEntry(store, DofOf(k - 1, c), ForceEntry(store, DofOf(k, c)));
  }
  --store.NodeCount;
}

void RemoveNode(ModelStore& store, std::int32_t n) {
  CloseUpNode(store, n);
  for (std::int32_t e = 1; e <= store.ElementCount; ++e)
    for (int c = 1; c <= 4; ++c)
      if (store.Elements[e].node[c] > n) --store.Elements[e].node[c];
  RenumberSupportsAfterNode(store, n);
  store.ResultsValid = 0;
}

bool NodeUsedByElement(const ModelStore& store, std::int32_t n) {
  for (std::int32_t e = 1; e <= store.ElementCount; ++e)
    for (int c = 1; c <= 4; ++c)
      if (store.Elements[e].node[c] == n) return true;
  return false;
}

bool NodeSupported(const ModelStore& store, std::int32_t n) {
  for (std::int32_t r = 1; r <= store.SupportCount; ++r) {
    const std::int32_t dof = store.Supports[r].dof;
    if (dof >= DofOf(n, 1) && dof <= DofOf(n, 3)) return true;
  }
  return false;
}

}  // namespace qor
