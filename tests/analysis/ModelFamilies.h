#pragma once

// The model families every solver path is checked on against an exact
// solve: slender cantilevers, sizes far from 1, mixed stiffness and
// prescribed displacements.

#include <functional>
#include <vector>

#include "analysis/BlockMesh.h"

namespace qortest {

// One tetrahedron on the corners (1,0,0)·L, (0,1,0)·L, (0,0,1)·L and the origin.
inline void BuildCornerTetrahedron(qor::ModelStore& s, float L, float E, float nu) {
  BuildBlockMesh(s, {}, 1, 1, 1, E, nu);
  const float p[5][3] = {{}, {L, 0, 0}, {0, L, 0}, {0, 0, L}, {0, 0, 0}};
  for (int n = 1; n <= 4; ++n) s.Nodes[n] = {p[n][0], p[n][1], p[n][2]};
  s.NodeCount = 4;
  s.ElementCount = 1;
  for (int a = 1; a <= 4; ++a) s.Elements[1].node[a] = a;
  s.Elements[1].material = 1;
}

struct ModelFamily {
  const char* what;
  std::function<void(qor::ModelStore&)> build;
};

inline std::vector<ModelFamily> DenseReferenceFamilies() {
  using qor::DofOf;
  using qor::ModelStore;
  // A cantilever of 2 × 2 cells across, `slenderness` times longer than high.
  auto cantilever = [](int slenderness, int cells, float h = 1.0f, float E = 1000.0f, float F = 1.0f) {
    return [=](ModelStore& s) { BuildCantilever(s, cells, 2, 2, h, F, 2.0f * h * slenderness / cells, E); };
  };
  return {
      {"cantilever 5:1", cantilever(5, 10)},
      {"cantilever 20:1", cantilever(20, 40)},
      {"cantilever 50:1", cantilever(50, 60)},
      {"cantilever 150:1", cantilever(150, 60)},
      {"size 1e4, E 1e6", cantilever(5, 10, 5000.0f, 1e6f, 1e6f)},
      {"size 1e-2", cantilever(5, 10, 0.005f, 2.1e11f, 1e4f)},
      {"stiff block on a soft one",
       [](ModelStore& s) {
         BuildBlockMesh(s, BoxCells(4, 4, 4), 1, 1, 1, 1000.0f, 0.3f);
         s.Materials[++s.MaterialCount] = {1e9f, 0.3f};
         for (int e = 1; e <= s.ElementCount; ++e) {
           float z = 0;
           for (int a = 1; a <= 4; ++a) z += s.Nodes[s.Elements[e].node[a]].z;
           if (z > 8) s.Elements[e].material = 2;
         }
         FixNodesWhere(s, 2, 0.0f);
         s.Forces[DofOf(s.NodeCount, 1)] = 5;
       }},
      {"prescribed displacements",
       [](ModelStore& s) {
         BuildBlockMesh(s, BoxCells(6, 2, 2), 1, 1, 1, 1000.0f, 0.3f);
         FixNodesWhere(s, 0, 0.0f);
         for (int n : NodesWhere(s, 0, 6.0f)) AddSupport(s, n, 1, 2);
         AddSupport(s, NodesWhere(s, 0, 6.0f).back(), 3, -1);
         s.Forces[DofOf(s.NodeCount / 2, 2)] = 50;
       }},
      {"one tetrahedron held at three corners",
       [](ModelStore& s) {
         BuildCornerTetrahedron(s, 2.0f, 1000.0f, 0.3f);
         for (int n = 1; n <= 3; ++n)
           for (int c = 1; c <= 3; ++c) AddSupport(s, n, c);
         s.Forces[DofOf(4, 1)] = -1.0f;
         s.Forces[DofOf(4, 3)] = 2.0f;
       }},
  };
}

}  // namespace qortest
