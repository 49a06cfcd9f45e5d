#pragma once

#include <array>
#include <cmath>
#include <initializer_list>
#include <ostream>

#include "model/ModelStore.h"

namespace qor {
inline void PrintTo(const UserMessage& m, std::ostream* os) { *os << '"' << m.text << "\" / \"" << m.caption << '"'; }
}  // namespace qor

namespace qor::testing {

// Node n at (n, 0, 0) for n = 1..count, each with force entries 10n+1, 10n+2, 10n+3.
inline void NumberedNodes(ModelStore& store, int count) {
  store.NodeCount = count;
  for (int n = 1; n <= count; ++n) {
    store.Nodes[n] = {static_cast<float>(n), 0, 0};
    for (int c = 1; c <= 3; ++c) store.Forces[DofOf(n, c)] = static_cast<float>(10 * n + c);
  }
}

inline void AddElement(ModelStore& store, std::array<int, 4> nodes, int material = 1) {
  ElementRow& row = store.Elements[++store.ElementCount];
  for (int c = 0; c < 4; ++c) row.node[c + 1] = nodes[c];
  row.material = material;
}

inline void AddSupportRow(ModelStore& store, int dof) { store.Supports[++store.SupportCount] = {dof, 0}; }

inline std::array<int, 4> NodesOf(const ModelStore& store, int e) {
  const ElementRow& r = store.Elements[e];
  return {r.node[1], r.node[2], r.node[3], r.node[4]};
}

// Signed volume of element e: det[p2-p1, p3-p1, p4-p1] / 6.
inline double SignedVolume(const ModelStore& store, int e) {
  const ElementRow& r = store.Elements[e];
  const NodeRow& a = store.Nodes[r.node[1]];
  double v[3][3];
  for (int k = 0; k < 3; ++k) {
    const NodeRow& b = store.Nodes[r.node[k + 2]];
    v[k][0] = b.x - a.x;
    v[k][1] = b.y - a.y;
    v[k][2] = b.z - a.z;
  }
  const double det = v[0][0] * (v[1][1] * v[2][2] - v[1][2] * v[2][1]) -
                     v[0][1] * (v[1][0] * v[2][2] - v[1][2] * v[2][0]) +
                     v[0][2] * (v[1][0] * v[2][1] - v[1][1] * v[2][0]);
  return det / 6.0;
}

}  // namespace qor::testing
