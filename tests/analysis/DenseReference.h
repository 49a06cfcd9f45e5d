#pragma once

// An independent reference analysis for the solver tests: the stiffness of
// each tetrahedron in the Lamé form (not B'DB), the whole matrix stored dense
// in double precision, supports imposed exactly by eliminating the supported
// degrees of freedom (no penalty), and a Cholesky factorisation. Stresses
// from σ = λ·tr(ε)·I + 2μ·ε.

#include <array>
#include <cmath>
#include <map>
#include <stdexcept>
#include <vector>

#include "model/ModelStore.h"

namespace qortest {

struct ReferenceResults {
  std::vector<double> u;                      // [d], d = 1..3·NodeCount
  std::vector<std::array<double, 8>> stress;  // [e][1..7]
};

// Shape-function gradients g[a] (a = 0..3) and the volume of element e.
inline double TetGradients(const qor::ModelStore& s, int e, double g[4][3]) {
  double p[4][3];
  for (int a = 0; a < 4; ++a) {
    const auto& n = s.Nodes[s.Elements[e].node[a + 1]];
    p[a][0] = n.x;
    p[a][1] = n.y;
    p[a][2] = n.z;
  }
  // J has the edges from corner 0 as columns; the gradients of N1..N3 are the rows of J⁻¹.
  double J[3][3];
  for (int i = 0; i < 3; ++i)
    for (int k = 0; k < 3; ++k) J[i][k] = p[k + 1][i] - p[0][i];
  const double det = J[0][0] * (J[1][1] * J[2][2] - J[1][2] * J[2][1]) -
                     J[0][1] * (J[1][0] * J[2][2] - J[1][2] * J[2][0]) +
                     J[0][2] * (J[1][0] * J[2][1] - J[1][1] * J[2][0]);
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      // Cofactor transpose / det.
      const int r1 = (c + 1) % 3, r2 = (c + 2) % 3, c1 = (r + 1) % 3, c2 = (r + 2) % 3;
      g[r + 1][c] = (J[r1][c1] * J[r2][c2] - J[r1][c2] * J[r2][c1]) / det;
    }
  }
  for (int c = 0; c < 3; ++c) g[0][c] = -g[1][c] - g[2][c] - g[3][c];
  return std::fabs(det) / 6.0;
}

inline void LameConstants(const qor::ModelStore& s, int e, double& lambda, double& mu) {
  const double E = s.Materials[s.Elements[e].material].E, nu = s.Materials[s.Elements[e].material].nu;
  lambda = E * nu / ((1 + nu) * (1 - 2 * nu));
  mu = E / (2 * (1 + nu));
}

// Solves the model of `s` (densities 1) and recovers its stresses.
inline ReferenceResults SolveReference(const qor::ModelStore& s) {
  const int n = 3 * s.NodeCount;
  std::vector<double> K(static_cast<std::size_t>(n) * n, 0.0);
  auto at = [&](int i, int j) -> double& { return K[static_cast<std::size_t>(i) * n + j]; };
  for (int e = 1; e <= s.ElementCount; ++e) {
    double g[4][3], lambda, mu;
    const double V = TetGradients(s, e, g);
    LameConstants(s, e, lambda, mu);
    for (int a = 0; a < 4; ++a)
      for (int b = 0; b < 4; ++b) {
        const double dot = g[a][0] * g[b][0] + g[a][1] * g[b][1] + g[a][2] * g[b][2];
        for (int i = 0; i < 3; ++i)
          for (int j = 0; j < 3; ++j) {
            const int r = 3 * (s.Elements[e].node[a + 1] - 1) + i, c = 3 * (s.Elements[e].node[b + 1] - 1) + j;
            at(r, c) += V * (lambda * g[a][i] * g[b][j] + mu * g[a][j] * g[b][i] + (i == j ? mu * dot : 0.0));
          }
      }
  }
  std::map<int, double> prescribed;  // 0-based dof -> value
  for (int j = 1; j <= s.SupportCount; ++j) prescribed[s.Supports[j].dof - 1] = s.Supports[j].value;
  std::vector<int> freeDofs;
  for (int d = 0; d < n; ++d)
    if (!prescribed.count(d)) freeDofs.push_back(d);
  const int m = static_cast<int>(freeDofs.size());
  std::vector<double> A(static_cast<std::size_t>(m) * m), b(m);
  for (int i = 0; i < m; ++i) {
    b[i] = s.Forces[freeDofs[i] + 1];
    for (const auto& [d, v] : prescribed) b[i] -= at(freeDofs[i], d) * v;
    for (int j = 0; j < m; ++j) A[static_cast<std::size_t>(i) * m + j] = at(freeDofs[i], freeDofs[j]);
  }
  // Cholesky A = L·Lᵀ in the lower triangle, skipping the zeros of each column.
  std::vector<int> rows;
  for (int k = 0; k < m; ++k) {
    double& pivot = A[static_cast<std::size_t>(k) * m + k];
    if (!(pivot > 0)) throw std::runtime_error("reference matrix not positive definite");
    pivot = std::sqrt(pivot);
    rows.clear();
    for (int i = k + 1; i < m; ++i) {
      double& l = A[static_cast<std::size_t>(i) * m + k];
      if (l != 0.0) {
        l /= pivot;
        rows.push_back(i);
      }
    }
    for (int j : rows)
      for (int i : rows)
        if (i >= j)
          A[static_cast<std::size_t>(i) * m + j] -=
              A[static_cast<std::size_t>(i) * m + k] * A[static_cast<std::size_t>(j) * m + k];
  }
  for (int i = 0; i < m; ++i) {
    for (int k = 0; k < i; ++k) b[i] -= A[static_cast<std::size_t>(i) * m + k] * b[k];
    b[i] /= A[static_cast<std::size_t>(i) * m + i];
  }
  for (int i = m - 1; i >= 0; --i) {
    for (int k = i + 1; k < m; ++k) b[i] -= A[static_cast<std::size_t>(k) * m + i] * b[k];
    b[i] /= A[static_cast<std::size_t>(i) * m + i];
  }

  ReferenceResults out;
  out.u.assign(n + 1, 0.0);
  for (const auto& [d, v] : prescribed) out.u[d + 1] = v;
  for (int i = 0; i < m; ++i) out.u[freeDofs[i] + 1] = b[i];
  out.stress.assign(s.ElementCount + 1, {});
  for (int e = 1; e <= s.ElementCount; ++e) {
    double g[4][3], lambda, mu, grad[3][3] = {};
    TetGradients(s, e, g);
    LameConstants(s, e, lambda, mu);
    for (int a = 0; a < 4; ++a)
      for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) grad[i][j] += out.u[3 * (s.Elements[e].node[a + 1] - 1) + i + 1] * g[a][j];
    const double trace = grad[0][0] + grad[1][1] + grad[2][2];
    auto sigma = [&](int i, int j) { return (i == j ? lambda * trace : 0.0) + mu * (grad[i][j] + grad[j][i]); };
    auto& r = out.stress[e];
    r = {0, sigma(0, 0), sigma(1, 1), sigma(2, 2), sigma(1, 2), sigma(0, 2), sigma(0, 1), 0};
    const double sx = r[1], sy = r[2], sz = r[3];
    r[7] = std::sqrt(0.5 * ((sx - sy) * (sx - sy) + (sy - sz) * (sy - sz) + (sz - sx) * (sz - sx)) +
                     3 * (r[4] * r[4] + r[5] * r[5] + r[6] * r[6]));
  }
  return out;
}

}  // namespace qortest
