#pragma once

#include <algorithm>
#include <cmath>

#include "model/ModelStore.h"

namespace qor {

// Small hand-made models for the view's tests and benchmarks.

inline int AddNode(ModelStore& store, float x, float y, float z) {
  const int n = ++store.NodeCount;
  store.Nodes[n] = {x, y, z};
  for (int c = 1; c <= 3; ++c) store.Forces[DofOf(n, c)] = 0;
  return n;
}

inline int AddTetrahedron(ModelStore& store, int n1, int n2, int n3, int n4) {
  const int e = ++store.ElementCount;
  store.Elements[e].node[1] = n1;
  store.Elements[e].node[2] = n2;
  store.Elements[e].node[3] = n3;
  store.Elements[e].node[4] = n4;
  store.Elements[e].material = 1;
  return e;
}

// The corner tetrahedron (0, 0, 0), (1, 0, 0), (0, 1, 0), (0, 0, 1), moved by
// `shift` along x, on four new nodes.
inline int AddCornerTetrahedron(ModelStore& store, float shift = 0) {
  const int n = AddNode(store, shift, 0, 0);
  AddNode(store, shift + 1, 0, 0);
  AddNode(store, shift, 1, 0);
  AddNode(store, shift, 0, 1);
  return AddTetrahedron(store, n, n + 1, n + 2, n + 3);
}

inline void AddSupport(ModelStore& store, int node, int direction) {
  const int j = ++store.SupportCount;
  store.Supports[j] = {DofOf(node, direction), 0};
}

// A box from (x0, y0, z0) with sides (a, b, c) cut into nx × ny × nz blocks on
// one grid of nodes, each block split into six tetrahedra around its diagonal
// from the lowest to the highest corner. Stops after `maxElements` elements.
inline void AddDividedBox(ModelStore& store, float x0, float y0, float z0, float a, float b, float c, int nx, int ny,
                          int nz, int maxElements = ElementCapacity) {
  const int first = store.NodeCount + 1;
  for (int k = 0; k <= nz; ++k)
    for (int j = 0; j <= ny; ++j)
      for (int i = 0; i <= nx; ++i) AddNode(store, x0 + a * i / nx, y0 + b * j / ny, z0 + c * k / nz);
  auto node = [&](int i, int j, int k) { return first + i + (nx + 1) * (j + (ny + 1) * k); };
  // The six paths from the lowest to the highest corner along the three axes.
  static constexpr int paths[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
  for (int k = 0; k < nz; ++k)
    for (int j = 0; j < ny; ++j)
      for (int i = 0; i < nx; ++i)
        for (const auto& path : paths) {
          if (store.ElementCount >= maxElements) return;
          int at[3] = {i, j, k};
          const int n1 = node(at[0], at[1], at[2]);
          ++at[path[0]];
          const int n2 = node(at[0], at[1], at[2]);
          ++at[path[1]];
          const int n3 = node(at[0], at[1], at[2]);
          AddTetrahedron(store, n1, n2, n3, node(i + 1, j + 1, k + 1));
        }
}

// A cantilever: nodes at x = x0 fixed in all directions, a downward force at
// the far top edge, and a made-up stress field that grows toward the support,
// so the colour map has something to show.
inline void MakeLoadedCantilever(ModelStore& store, int nx, int ny, int nz) {
  AddDividedBox(store, 0, 0, 0, 10, 2, 2, nx, ny, nz);
  for (int n = 1; n <= store.NodeCount; ++n) {
    if (store.Nodes[n].x == 0)
      for (int c = 1; c <= 3; ++c) AddSupport(store, n, c);
    if (store.Nodes[n].x == 10 && store.Nodes[n].z == 2) store.Forces[DofOf(n, 3)] = -1000;
  }
  for (int e = 1; e <= store.ElementCount; ++e) {
    float x = 0, z = 0;
    for (int c = 1; c <= 4; ++c) {
      x += store.Nodes[store.Elements[e].node[c]].x / 4;
      z += store.Nodes[store.Elements[e].node[c]].z / 4;
    }
    const float bending = (10 - x) * (z - 1) * 600;
    store.Stresses[e][SigmaX] = bending;
    store.Stresses[e][Reduced] = std::abs(bending) + 50;
  }
  store.MaterialCount = 1;
  store.Materials[1] = {210000, 0.3f};
  store.ResultsValid = 1;
}

}  // namespace qor
