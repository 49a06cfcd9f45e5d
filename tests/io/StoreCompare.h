#pragma once

#include <cstring>
#include <memory>

#include "model/ModelStore.h"

namespace qor::testing {

// Byte-for-byte equality of two stores: counters, every row of every table
// (also rows beyond the counters) and the result tables. The store holds only
// 32-bit members, so it has no padding bytes that could differ.
inline bool SameStore(const ModelStore& a, const ModelStore& b) { return std::memcmp(&a, &b, sizeof(ModelStore)) == 0; }

// A store full of recognisable values, to see whether a refused command touched it.
inline std::unique_ptr<ModelStore> SpoiltStore() {
  auto store = std::make_unique<ModelStore>();
  store->NodeCount = 3;
  store->ElementCount = 2;
  store->MaterialCount = 1;
  store->SupportCount = 1;
  store->DofCount = 9;
  store->ResultsValid = 1;
  for (int n = 0; n <= NodeCapacity; ++n) store->Nodes[n] = {n + 0.5f, -1.0f * n, 7.0f};
  for (int e = 0; e <= ElementCapacity; ++e) {
    store->Elements[e] = {{0, 1, 2, 3, 1}, 1};
    store->Stresses[e].fill(static_cast<float>(e));
  }
  for (int d = 0; d <= DofCapacity; ++d) {
    store->Forces[d] = 0.25f * d;
    store->Displacements[d] = -0.5f * d;
  }
  store->Materials[1] = {210000.0f, 0.3f};
  store->Supports[1] = {4, 0};
  return store;
}

}  // namespace qor::testing
