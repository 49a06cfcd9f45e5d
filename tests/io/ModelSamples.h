#pragma once

#include <cmath>
#include <cstdint>
#include <random>

#include "model/ModelStore.h"

namespace qor::testing {

// Fills `store` with a valid model of the given counts: every element node in
// 1..nodes, every material in 1..max(materials, 1), every support on a degree
// of freedom of an existing node, and floats spread over many magnitudes and
// both signs so that the plain and the exponent forms of %g both occur.
inline void FillRandomModel(ModelStore& store, std::mt19937& random, std::int32_t nodes, std::int32_t elements,
                            std::int32_t materials, std::int32_t supports) {
  std::uniform_real_distribution<float> mantissa(-10.0f, 10.0f);
  std::uniform_int_distribution<int> exponent(-12, 12);
  auto anyFloat = [&] {
    const float m = mantissa(random);
    const int e = exponent(random);
    if (e == -12) return 0.0f;
    return m * std::pow(10.0f, static_cast<float>(e));
  };
  store.NodeCount = nodes;
  store.ElementCount = nodes > 0 ? elements : 0;
  store.MaterialCount = materials;
  store.SupportCount = nodes > 0 ? supports : 0;
  store.ResultsValid = static_cast<std::int32_t>(random() % 2);
  std::uniform_int_distribution<std::int32_t> nodeNumber(1, nodes > 0 ? nodes : 1);
  std::uniform_int_distribution<std::int32_t> materialNumber(1, materials > 0 ? materials : 1);
  std::uniform_int_distribution<std::int32_t> dof(1, nodes > 0 ? 3 * nodes : 1);
  std::uniform_int_distribution<std::int32_t> prescribed(-3, 3);
  for (std::int32_t n = 1; n <= store.NodeCount; ++n) store.Nodes[n] = {anyFloat(), anyFloat(), anyFloat()};
  for (std::int32_t e = 1; e <= store.ElementCount; ++e) {
    for (int k = 1; k <= 4; ++k) store.Elements[e].node[k] = nodeNumber(random);
    store.Elements[e].material = materialNumber(random);
    for (int s = 1; s <= 7; ++s) store.Stresses[e][s] = anyFloat();
  }
  for (std::int32_t m = 1; m <= store.MaterialCount; ++m) store.Materials[m] = {anyFloat(), anyFloat()};
  for (std::int32_t j = 1; j <= store.SupportCount; ++j) store.Supports[j] = {dof(random), prescribed(random)};
  for (std::int32_t d = 1; d <= 3 * store.NodeCount; ++d) store.Forces[d] = anyFloat();
}

}  // namespace qor::testing
