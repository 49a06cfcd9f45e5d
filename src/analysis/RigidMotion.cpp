#include "analysis/RigidMotion.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "analysis/SolverWorkspace.h"

namespace qor {

namespace {

int Root(std::array<std::int32_t, SolverNodeCapacity + 1>& parent, int n) {
  while (parent[n] != n) {
    parent[n] = parent[parent[n]];
    n = parent[n];
  }
  return n;
}

}  // namespace

// Gaussian elimination with diagonal pivoting of the symmetric positive
// semi-definite 6 × 6 matrix G. True when every pivot exceeds `negligible`
// times G's largest diagonal. Otherwise `motion` receives a vector that G
// (nearly) maps to zero: the remaining variable of the first negligible pivot
// set to 1, the later ones to 0 and the earlier ones solved back.
bool FullRank6(double G[6][6], double negligible, double motion[6]) {
  double largest = 0;
  for (int i = 0; i < 6; ++i) largest = std::max(largest, G[i][i]);
  int order[6];
  std::iota(order, order + 6, 0);
  for (int step = 0; step < 6; ++step) {
    int best = step;
    for (int c = step + 1; c < 6; ++c)
      if (G[order[c]][order[c]] > G[order[best]][order[best]]) best = c;
    std::swap(order[step], order[best]);
    const int p = order[step];
    const double pivot = G[p][p];
    if (!(pivot > negligible * largest)) {
      std::fill(motion, motion + 6, 0.0);
      motion[p] = 1;
      for (int k = step - 1; k >= 0; --k) {
        const int v = order[k];
        double sum = 0;
        for (int c = k + 1; c <= step; ++c) sum += G[v][order[c]] * motion[order[c]];
        motion[v] = -sum / G[v][v];
      }
      return false;
    }
    for (int c = step + 1; c < 6; ++c) {
      const int r = order[c];
      const double f = G[r][p] / pivot;
      for (int k = step + 1; k < 6; ++k) G[r][order[k]] -= f * G[p][order[k]];
    }
  }
  return true;
}

// A body held only at one point, or only along one straight line, or never in
// some direction, can move without straining: its rigid-body motions (three
// translations, three rotations) are not all stopped by the supports. Each
// group of elements joined through shared nodes is such a body. Its motions
// are restrained when the six motions, evaluated at the supported degrees of
// freedom, are linearly independent, i.e. when G = AᵀA (A: one row per
// support, one column per motion, coordinates taken about the group's centre
// and divided by its size) has full rank. This is exact geometry in double
// precision, independent of the stiffness and of how slender the body is, so
// it needs no compromise with the pivot test of the elimination; a relative
// pivot of 1e-10 in G means supports within 1e-5 of the body's size of a
// common line, which no float coordinate distinguishes from a line.
bool RigidMotionRestrained(const SolverWorkspace& ws, std::int32_t& freeDof) {
  static std::array<std::int32_t, SolverNodeCapacity + 1> parent;
  static std::array<bool, SolverNodeCapacity + 1> used;
  for (int n = 1; n <= ws.NodeCount; ++n) {
    parent[n] = n;
    used[n] = false;
  }
  for (int e = 1; e <= ws.ElementCount; ++e) {
    const auto& nodes = ws.ElementNodes[e];
    for (int a = 1; a <= 4; ++a) used[nodes[a]] = true;
    for (int a = 2; a <= 4; ++a) parent[Root(parent, nodes[a])] = Root(parent, nodes[1]);
  }
  for (int n = 1; n <= ws.NodeCount; ++n) {
    if (!used[n] || Root(parent, n) != n) continue;
    // Centre and size of the group rooted at n.
    double lo[3] = {1e300, 1e300, 1e300}, hi[3] = {-1e300, -1e300, -1e300};
    for (int k = 1; k <= ws.NodeCount; ++k) {
      if (!used[k] || Root(parent, k) != n) continue;
      const double p[3] = {ws.X[k], ws.Y[k], ws.Z[k]};
      for (int c = 0; c < 3; ++c) {
        lo[c] = std::min(lo[c], p[c]);
        hi[c] = std::max(hi[c], p[c]);
      }
    }
    const double size = std::max({hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2], 1e-30});
    // Motion of the three directions of `node` under the three translations
    // and the three rotations about x, y and z: motions[direction][motion].
    auto motionsAt = [&](int node, double motions[3][6]) {
      const double x = (ws.X[node] - 0.5 * (lo[0] + hi[0])) / size;
      const double y = (ws.Y[node] - 0.5 * (lo[1] + hi[1])) / size;
      const double z = (ws.Z[node] - 0.5 * (lo[2] + hi[2])) / size;
      const double rotation[3][3] = {{0, -z, y}, {z, 0, -x}, {-y, x, 0}};
      for (int direction = 0; direction < 3; ++direction) {
        for (int t = 0; t < 3; ++t) motions[direction][t] = t == direction ? 1 : 0;
        for (int r = 0; r < 3; ++r) motions[direction][3 + r] = rotation[r][direction];
      }
    };
    double G[6][6] = {};
    for (int j = 1; j <= ws.SupportCount; ++j) {
      const int node = (ws.SupportDofs[j] + 2) / 3;
      if (!used[node] || Root(parent, node) != n) continue;
      double motions[3][6];
      motionsAt(node, motions);
      const double* row = motions[(ws.SupportDofs[j] - 1) % 3];
      for (int a = 0; a < 6; ++a)
        for (int b = 0; b < 6; ++b) G[a][b] += row[a] * row[b];
    }
    double motion[6];
    if (FullRank6(G, 1e-10, motion)) continue;
    // Name the degree of freedom of the group that moves most in the free motion.
    double most = -1;
    for (int k = 1; k <= ws.NodeCount; ++k) {
      if (!used[k] || Root(parent, k) != n) continue;
      double motions[3][6];
      motionsAt(k, motions);
      for (int direction = 0; direction < 3; ++direction) {
        double moved = 0;
        for (int a = 0; a < 6; ++a) moved += motions[direction][a] * motion[a];
        if (std::fabs(moved) > most) {
          most = std::fabs(moved);
          freeDof = 3 * (k - 1) + direction + 1;
        }
      }
    }
    return false;
  }
  return true;
}

}  // namespace qor
