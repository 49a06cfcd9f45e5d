#pragma once

// Block meshes for the analysis tests and benchmarks: boxes of cubic cells,
// every cell split into six tetrahedra along its main diagonal, so that the
// split of neighbouring cells meets face to face.

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <numeric>
#include <random>
#include <set>
#include <stdexcept>
#include <vector>

#include "model/ModelStore.h"

namespace qortest {

using Cell = std::array<int, 3>;

// The cells of an nx × ny × nz box.
inline std::vector<Cell> BoxCells(int nx, int ny, int nz) {
  std::vector<Cell> cells;
  for (int i = 0; i < nx; ++i)
    for (int j = 0; j < ny; ++j)
      for (int k = 0; k < nz; ++k) cells.push_back({i, j, k});
  return cells;
}

// Replaces the model by the given cells of size hx × hy × hz, material 1 (E, nu),
// no forces and no supports. Nodes are numbered with x slowest, so a body long
// in x gets a narrow band.
inline void BuildBlockMesh(qor::ModelStore& s, const std::vector<Cell>& cells, float hx, float hy, float hz,
                           float E = 1000.0f, float nu = 0.3f) {
  if (cells.size() * 6 > qor::ElementCapacity) throw std::length_error("too many cells for the element table");
  std::set<Cell> corners;
  for (const Cell& c : cells)
    for (int a = 0; a < 8; ++a) corners.insert({c[0] + (a & 1), c[1] + ((a >> 1) & 1), c[2] + ((a >> 2) & 1)});
  if (corners.size() > qor::NodeCapacity) throw std::length_error("too many nodes for the node table");
  std::map<Cell, int> number;
  s = qor::ModelStore{};
  for (const Cell& p : corners) {
    const int n = ++s.NodeCount;
    number[p] = n;
    s.Nodes[n] = {p[0] * hx, p[1] * hy, p[2] * hz};
  }
  // Six tetrahedra per cell: the paths from corner 000 to 111 along the axes
  // in every order.
  static const int orders[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
  for (const Cell& c : cells) {
    for (const auto& order : orders) {
      Cell p = c;
      auto& element = s.Elements[++s.ElementCount];
      element.node[1] = number[p];
      for (int step = 0; step < 3; ++step) {
        ++p[order[step]];
        element.node[step + 2] = number[p];
      }
      element.material = 1;
    }
  }
  s.MaterialCount = 1;
  s.Materials[1] = {E, nu};
}

// Gives node n the number perm[n] (perm[0] unused), carrying forces and supports along.
inline void Renumber(qor::ModelStore& s, const std::vector<int>& perm) {
  const qor::ModelStore old = s;
  for (int n = 1; n <= s.NodeCount; ++n) {
    s.Nodes[perm[n]] = old.Nodes[n];
    for (int c = 1; c <= 3; ++c) s.Forces[qor::DofOf(perm[n], c)] = old.Forces[qor::DofOf(n, c)];
  }
  for (int e = 1; e <= s.ElementCount; ++e)
    for (int a = 1; a <= 4; ++a) s.Elements[e].node[a] = perm[old.Elements[e].node[a]];
  for (int j = 1; j <= s.SupportCount; ++j) {
    const int d = old.Supports[j].dof;
    s.Supports[j].dof = qor::DofOf(perm[(d + 2) / 3], (d - 1) % 3 + 1);
  }
}

inline std::vector<int> RandomPermutation(int n, unsigned seed) {
  std::vector<int> perm(n + 1);
  std::iota(perm.begin(), perm.end(), 0);
  std::mt19937 random(seed);
  std::shuffle(perm.begin() + 1, perm.end(), random);
  return perm;
}

inline void AddSupport(qor::ModelStore& s, int node, int direction, int value = 0) {
  auto& row = s.Supports[++s.SupportCount];
  row.dof = qor::DofOf(node, direction);
  row.value = value;
}

// Nodes whose coordinate `axis` (0 x, 1 y, 2 z) equals `value`.
inline std::vector<int> NodesWhere(const qor::ModelStore& s, int axis, float value) {
  std::vector<int> nodes;
  for (int n = 1; n <= s.NodeCount; ++n) {
    const auto& p = s.Nodes[n];
    const float coordinate = axis == 0 ? p.x : axis == 1 ? p.y : p.z;
    if (coordinate == value) nodes.push_back(n);
  }
  return nodes;
}

// Holds every node whose coordinate `axis` equals `value` in all three directions.
inline void FixNodesWhere(qor::ModelStore& s, int axis, float value) {
  for (int node : NodesWhere(s, axis, value))
    for (int c = 1; c <= 3; ++c) AddSupport(s, node, c);
}

// A cantilever along x: n cells of length hx, cross-section cy × cz cells of
// size h, face x = 0 fixed in all directions, a force -F in z spread over the
// end face's nodes.
inline void BuildCantilever(qor::ModelStore& s, int n, int cy, int cz, float h, float F, float hx = 0,
                            float E = 1000.0f) {
  if (hx == 0) hx = h;
  BuildBlockMesh(s, BoxCells(n, cy, cz), hx, h, h, E);
  FixNodesWhere(s, 0, 0.0f);
  const auto tip = NodesWhere(s, 0, n * hx);
  for (int node : tip) s.Forces[qor::DofOf(node, 3)] = -F / static_cast<float>(tip.size());
}

}  // namespace qortest
