#pragma once

// The elimination and back substitution written literally, one pivot at a time
// with the plain triple loop: the reference that the blocked, vectorised solver
// must match bit for bit.

#include <algorithm>

#include "analysis/SolverWorkspace.h"

namespace qortest {

// Solves the assembled band of `ws` in place; false on a zero or negligible
// pivot. `smallestPivotRatio`, when given, receives the smallest
// pivot / diagonal before elimination over all rows.
inline bool LiteralEliminateAndSolve(qor::SolverWorkspace& ws, double* smallestPivotRatio = nullptr,
                                     bool judgePivots = true) {
  const int n = ws.DofCount;
  const int w = ws.HalfBandwidth;
  for (int i = 1; i <= n; ++i) ws.PivotScale[i] = ws.BandAt(i, 1);
  double smallest = 1.0;
  auto judge = [&](int i) {
    const double pivot = ws.BandAt(i, 1);
    if (ws.PivotScale[i] != 0.0) smallest = std::min(smallest, pivot / ws.PivotScale[i]);
    return judgePivots ? qor::PivotIsNegligible(pivot, ws.PivotScale[i]) : pivot == 0.0;
  };
  for (int i = 1; i <= n - 1; ++i) {
    const int m = std::min(n - i + 1, w);
    for (int j = 2; j <= m; ++j) {
      if (judge(i)) return false;
      const double f = ws.BandAt(i, j) / ws.BandAt(i, 1);
      const int r = i + j - 1;
      for (int k = j; k <= m; ++k) ws.BandAt(r, k - j + 1) -= f * ws.BandAt(i, k);
      ws.Rhs[r] -= f * ws.Rhs[i];
    }
  }
  if (judge(n)) return false;
  ws.Rhs[n] = ws.Rhs[n] / ws.BandAt(n, 1);
  for (int i = n - 1; i >= 1; --i) {
    if (judge(i)) return false;
    const double g = 1 / ws.BandAt(i, 1);
    ws.Rhs[i] = g * ws.Rhs[i];
    const int m = std::min(n - i + 1, w);
    for (int j = 2; j <= m; ++j) ws.Rhs[i] -= g * ws.BandAt(i, j) * ws.Rhs[i + j - 1];
  }
  if (smallestPivotRatio) *smallestPivotRatio = smallest;
  return true;
}

}  // namespace qortest
