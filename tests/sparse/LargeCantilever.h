#pragma once

// Block cantilevers of any size as SolidModels, for the sparse path's tests
// and drivers: L × H × H in nx × ny × nz cells, every cell split into six
// tetrahedra along its main diagonal as in BlockMesh.h, face x = 0 clamped,
// a force -F in z spread evenly over the nodes of the end face.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "solid/SolidModel.h"

namespace qortest {

inline qor::SolidModel BuildSolidCantilever(int nx, int ny, int nz, float L, float H, float E, float nu, float F) {
  const std::int64_t px = nx + 1, py = ny + 1, pz = nz + 1;
  auto node = [&](std::int64_t i, std::int64_t j, std::int64_t k) {
    return static_cast<std::int32_t>((i * py + j) * pz + k + 1);
  };
  qor::SolidModel m;
  m.Resize(static_cast<std::int32_t>(px * py * pz), 6 * nx * ny * nz, 1, static_cast<std::int32_t>(3 * py * pz));
  for (std::int64_t i = 0; i < px; ++i)
    for (std::int64_t j = 0; j < py; ++j)
      for (std::int64_t k = 0; k < pz; ++k)
        m.Nodes[node(i, j, k)] = {static_cast<float>(L * i / nx), static_cast<float>(H * j / ny),
                                  static_cast<float>(H * k / nz)};
  static const int orders[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
  std::int32_t e = 0;
  for (int i = 0; i < nx; ++i)
    for (int j = 0; j < ny; ++j)
      for (int k = 0; k < nz; ++k)
        for (const auto& order : orders) {
          int p[3] = {i, j, k};
          auto& element = m.Elements[++e];
          element.node[1] = node(p[0], p[1], p[2]);
          for (int step = 0; step < 3; ++step) {
            ++p[order[step]];
            element.node[step + 2] = node(p[0], p[1], p[2]);
          }
          element.material = 1;
          m.Densities[e] = 1.0f;
        }
  m.Materials[1] = {E, nu};
  std::int32_t s = 0;
  for (int j = 0; j < py; ++j)
    for (int k = 0; k < pz; ++k)
      for (int c = 1; c <= 3; ++c) m.Supports[++s] = {qor::DofOf(node(0, j, k), c), 0};
  for (int j = 0; j < py; ++j)
    for (int k = 0; k < pz; ++k) m.Forces[qor::DofOf(node(nx, j, k), 3)] = -F / static_cast<float>(py * pz);
  return m;
}

// The largest deflection in -z over the end face x = L (at its lower corners).
inline double TipDeflection(const qor::SolidModel& m, const std::vector<float>& u, float L) {
  double lowest = 0;
  for (std::int32_t n = 1; n <= m.NodeCount(); ++n)
    if (m.Nodes[n].x == L) lowest = std::min(lowest, static_cast<double>(u[qor::DofOf(n, 3)]));
  return lowest;
}

}  // namespace qortest
