#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "analysis/SolverWorkspace.h"
#include "model/ModelStore.h"

namespace qor {

SolverWorkspace TheSolverWorkspace;

// Pivots and mechanisms. Gaussian elimination without pivoting on a model that
// can still move or turn does not meet an exact zero: rounding leaves a residue
// of a few units of double precision times the numbers subtracted, of either
// sign, and the "solution" is that noise magnified. A model free to move as a
// whole (held at one point, along one line, or never in some direction, or a
// part that touches no support) is caught exactly by RigidMotionRestrained
// before the elimination. What remains for the pivot test are mechanisms
// inside a model: parts joined at one node, along one edge or along one line
// of nodes. Each pivot is judged against its own row's diagonal before
// elimination, the scale of what was subtracted from it; the matrix of a
// sound model is positive definite, so a pivot that is not clearly positive
// means a mechanism. Measured on block meshes of up to 592 nodes, numbered
// along the body and at random: such hinges leave pivots between -1.1e-14 and
// 8e-15 of that diagonal. The smallest pivots of sound models: a cantilever of
// 2 × 2 cells across, 150 times longer than high, 1.7e-7 to 1.5e-6 (the tip's
// bending stiffness against the local stiffness of a node; it falls with the
// square of the slenderness); 50 times, 1e-5; a stiff block on a soft one,
// about 5e-1 divided by the ratio of their E (4.8e-7 at 1e6, 4.8e-10 at 1e9).
// 1e-11 refuses every mechanism with a margin of a thousand and computes
// cantilevers up to about ten thousand times longer than high and E ratios up
// to about 1e10; a smaller pivot would leave no significant digit anyway.
bool PivotIsNegligible(double pivot, double scale) { return pivot <= NegligiblePivot * scale; }

bool ReferencesInRange(const SolverWorkspace& ws) {
  if (ws.ElementCount < 0 || ws.ElementCount > SolverElementCapacity) return false;
  if (ws.NodeCount < 0 || ws.NodeCount > SolverNodeCapacity) return false;
  if (ws.SupportCount < 0 || ws.SupportCount > SolverSupportCapacity) return false;
  if (ws.MaterialCount < 0 || ws.MaterialCount > SolverMaterialCapacity) return false;
  for (int e = 1; e <= ws.ElementCount; ++e) {
    for (int a = 1; a <= 4; ++a) {
      const std::int32_t n = ws.ElementNodes[e][a];
      if (n < 1 || n > ws.NodeCount) return false;
    }
    const std::int32_t m = ws.ElementMaterials[e];
    if (m < 1 || m > ws.MaterialCount) return false;
  }
  for (int j = 1; j <= ws.SupportCount; ++j) {
    if (ws.SupportDofs[j] < 1 || ws.SupportDofs[j] > ws.DofCount) return false;
  }
  return true;
}

std::int32_t ComputeHalfBandwidth(const SolverWorkspace& ws) {
  std::int32_t width = 0;
  for (int e = 1; e <= ws.ElementCount; ++e) {
    const auto& n = ws.ElementNodes[e];
    const std::int32_t lo = std::min({n[1], n[2], n[3], n[4]});
    const std::int32_t hi = std::max({n[1], n[2], n[3], n[4]});
    width = std::max(width, 3 * (hi - lo + 1));
  }
  return width;
}

TetCorners CornersOf(const SolverWorkspace& ws, int e) {
  TetCorners corners;
  for (int a = 1; a <= 4; ++a) {
    const std::int32_t n = ws.ElementNodes[e][a];
    corners.x[a] = ws.X[n];
    corners.y[a] = ws.Y[n];
    corners.z[a] = ws.Z[n];
  }
  return corners;
}

bool AssembleBand(SolverWorkspace& ws) {
  const int n = ws.DofCount;
  // At least the diagonal is cleared, so that a model without elements gets
  // exact zeros there rather than the previous computation's numbers.
  const int width = std::max(ws.HalfBandwidth, 1);
  for (int i = 1; i <= n; ++i) std::fill_n(ws.BandRow(i) + 1, width, 0.0);

  for (int e = 1; e <= ws.ElementCount; ++e) {
    const std::int32_t m = ws.ElementMaterials[e];
    ws.FailureElement = e;
    if (!MaterialConstantsValid(ws.MaterialE[m], ws.MaterialNu[m])) {
      ws.FailureMaterial = m;
      return false;
    }
    // A stiffness multiplier read from a file must not make an element pull
    // the wrong way.
    const float rho = ws.ElementDensities[e];
    if (!(std::isfinite(rho) && rho >= 0.0f)) return false;
    if (!ElementStiffness(CornersOf(ws, e), ws.MaterialE[m], ws.MaterialNu[m], rho, ws.Ke)) return false;

    const auto& nodes = ws.ElementNodes[e];
    for (int a = 1; a <= 4; ++a) {
      for (int c = 1; c <= 3; ++c) {
        const int r = 3 * (nodes[a] - 1) + c;
        const int localRow = 3 * (a - 1) + c;
        double* row = ws.BandRow(r);
        for (int b = 1; b <= 4; ++b) {
          for (int g = 1; g <= 3; ++g) {
            const int t = 3 * (nodes[b] - 1) + g - r + 1;
            if (t > 0) row[t] += ws.Ke[localRow][3 * (b - 1) + g];
          }
        }
      }
    }
  }
  ws.FailureElement = 0;

  // Supports by penalty: the supported diagonal grows by Penalty, and the
  // right-hand side by Penalty times the prescribed value, so the degree of
  // freedom ends at that value up to about (its stiffness / Penalty) times the
  // model's displacements. A fixed penalty fails whenever the stiffness
  // (E times size) approaches it, so it follows the largest diagonal entry.
  // Measured against an exact elimination of the supports (in double): with
  // a factor 1e10, supported values are off by 6e-16 to 4e-12 of the largest
  // displacement, in millimetres and MPa as in metres and Pa, and the other
  // results differ only by rounding (2e-11 on a 20:1 cantilever); 1e8 leaves
  // errors of 1e-9 in the stresses; larger factors gain nothing.
  double largestDiagonal = 0;
  for (int i = 1; i <= n; ++i) largestDiagonal = std::max(largestDiagonal, ws.BandAt(i, 1));
  // Without any stiffness (every density 0) the supports still hold, so that
  // the first free degree of freedom is the one reported.
  ws.Penalty = PenaltyFactor * (largestDiagonal > 0 ? largestDiagonal : 1.0);
  for (int j = 1; j <= ws.SupportCount; ++j) {
    const std::int32_t d = ws.SupportDofs[j];
    ws.BandAt(d, 1) += ws.Penalty;
    ws.Rhs[d] += static_cast<double>(ws.SupportValues[j]) * ws.Penalty;
  }
  return true;
}

namespace {

// Double vectors of the compiler's vector extension: element-wise IEEE double
// operations, lowered to whatever vector registers the target has. Unaligned
// and allowed to alias the double arrays they are read from.
typedef double Vec8 __attribute__((vector_size(64), aligned(8), may_alias));
typedef double Vec2 __attribute__((vector_size(16), aligned(8), may_alias));
typedef double AlignedVec8 __attribute__((vector_size(64), may_alias));

// row[c] -= f[q] * a[q][c] for q = 0..K-1 in this order, for c = c0..c1. Each
// entry receives the updates of the block's pivots in increasing pivot order,
// exactly as one pivot after the other would give it, while the row stays in
// registers across the K pivots. Four independent vectors of columns are
// updated side by side, so that the chain of K subtractions of one vector does
// not stall the processor. Compiled for several instruction sets; the build
// forbids fused multiply-add, so every variant gives the same bits.
[[gnu::target_clones("avx512f", "avx2", "default")]] void UpdateSpan(double* __restrict row,
                                                                     const double* const* __restrict a,
                                                                     const double* __restrict f, int K, int c0,
                                                                     int c1) {
  int c = c0;
  for (; c + 31 <= c1; c += 32) {
    Vec8 v0 = *reinterpret_cast<const Vec8*>(row + c);
    Vec8 v1 = *reinterpret_cast<const Vec8*>(row + c + 8);
    Vec8 v2 = *reinterpret_cast<const Vec8*>(row + c + 16);
    Vec8 v3 = *reinterpret_cast<const Vec8*>(row + c + 24);
    for (int q = 0; q < K; ++q) {
      const double* aq = a[q] + c;
      const double fq = f[q];
      v0 -= fq * *reinterpret_cast<const Vec8*>(aq);
      v1 -= fq * *reinterpret_cast<const Vec8*>(aq + 8);
      v2 -= fq * *reinterpret_cast<const Vec8*>(aq + 16);
      v3 -= fq * *reinterpret_cast<const Vec8*>(aq + 24);
    }
    *reinterpret_cast<Vec8*>(row + c) = v0;
    *reinterpret_cast<Vec8*>(row + c + 8) = v1;
    *reinterpret_cast<Vec8*>(row + c + 16) = v2;
    *reinterpret_cast<Vec8*>(row + c + 24) = v3;
  }
  for (; c + 7 <= c1; c += 8) {
    Vec8 v = *reinterpret_cast<const Vec8*>(row + c);
    for (int q = 0; q < K; ++q) v -= f[q] * *reinterpret_cast<const Vec8*>(a[q] + c);
    *reinterpret_cast<Vec8*>(row + c) = v;
  }
  for (; c + 1 <= c1; c += 2) {
    Vec2 v = *reinterpret_cast<const Vec2*>(row + c);
    for (int q = 0; q < K; ++q) v -= f[q] * *reinterpret_cast<const Vec2*>(a[q] + c);
    *reinterpret_cast<Vec2*>(row + c) = v;
  }
  for (; c <= c1; ++c) {
    double v = row[c];
    for (int q = 0; q < K; ++q) v -= f[q] * a[q][c];
    row[c] = v;
  }
}

// The same for four rows at once, entries g = g0..g1 of rows[k][g] with the
// multipliers f[k][q]: the four rows share every pivot-row load. g0 must be
// a multiple of BandLanes and the count a multiple of 2·BandLanes, so that all
// loads are whole aligned vectors (see BandStride).
[[gnu::target_clones("avx512f", "avx2", "default")]] void UpdateFourRows(double* const* __restrict rows,
                                                                         const double* const* __restrict a,
                                                                         const double* const* __restrict f, int K,
                                                                         int g0, int g1) {
  double* const r0 = rows[0];
  double* const r1 = rows[1];
  double* const r2 = rows[2];
  double* const r3 = rows[3];
  const double* const f0 = f[0];
  const double* const f1 = f[1];
  const double* const f2 = f[2];
  const double* const f3 = f[3];
  for (int g = g0; g + 15 <= g1; g += 16) {
    AlignedVec8 c00 = *reinterpret_cast<const AlignedVec8*>(r0 + g),
                c01 = *reinterpret_cast<const AlignedVec8*>(r0 + g + 8);
    AlignedVec8 c10 = *reinterpret_cast<const AlignedVec8*>(r1 + g),
                c11 = *reinterpret_cast<const AlignedVec8*>(r1 + g + 8);
    AlignedVec8 c20 = *reinterpret_cast<const AlignedVec8*>(r2 + g),
                c21 = *reinterpret_cast<const AlignedVec8*>(r2 + g + 8);
    AlignedVec8 c30 = *reinterpret_cast<const AlignedVec8*>(r3 + g),
                c31 = *reinterpret_cast<const AlignedVec8*>(r3 + g + 8);
    for (int q = 0; q < K; ++q) {
      const AlignedVec8 a0 = *reinterpret_cast<const AlignedVec8*>(a[q] + g),
                        a1 = *reinterpret_cast<const AlignedVec8*>(a[q] + g + 8);
      c00 -= f0[q] * a0;
      c01 -= f0[q] * a1;
      c10 -= f1[q] * a0;
      c11 -= f1[q] * a1;
      c20 -= f2[q] * a0;
      c21 -= f2[q] * a1;
      c30 -= f3[q] * a0;
      c31 -= f3[q] * a1;
    }
    *reinterpret_cast<AlignedVec8*>(r0 + g) = c00;
    *reinterpret_cast<AlignedVec8*>(r0 + g + 8) = c01;
    *reinterpret_cast<AlignedVec8*>(r1 + g) = c10;
    *reinterpret_cast<AlignedVec8*>(r1 + g + 8) = c11;
    *reinterpret_cast<AlignedVec8*>(r2 + g) = c20;
    *reinterpret_cast<AlignedVec8*>(r2 + g + 8) = c21;
    *reinterpret_cast<AlignedVec8*>(r3 + g) = c30;
    *reinterpret_cast<AlignedVec8*>(r3 + g + 8) = c31;
  }
}

}  // namespace

// Forward elimination of the symmetric band, the upper triangle in place: for
// pivot i and every row r = i + j - 1 within reach, row r loses f = Band[i][j] /
// Band[i][1] times row i's tail, and Rhs[r] loses f·Rhs[i]. Pivots are taken in
// blocks of up to EliminationBlock rows: first the rows inside the block are
// updated pivot by pivot (they become pivot rows themselves), then every row
// below the block receives the block's updates in pivot order, all columns
// at once. Where a pivot does not reach (a row beyond its band, or a column
// beyond its row's band) the update subtracts an exact zero: the multiplier of
// such a row is 0, and the columns past each row's band are cleared first. A
// band entry is never -0 (it starts at +0 and only sums and differences of
// finite numbers reach it), and x - (±0) is x for every other x, so every
// entry gets the same bits as with the plain loops one pivot at a time.
bool EliminateBand(SolverWorkspace& ws) {
  const int n = ws.DofCount;
  const int w = ws.HalfBandwidth;
  for (int i = 1; i <= n; ++i) ws.PivotScale[i] = ws.BandAt(i, 1);
  auto reach = [n, w](int i) { return std::min(n - i + 1, w); };

  // Wide bands gain from many pivots per pass (each row below is read once per
  // block); narrow ones keep the in-block part small.
  const int block = std::clamp(w / 8, 8, EliminationBlock);
  // A pass reads the pivot rows up to block + 2·BandLanes columns past their
  // band (see below): those entries within the matrix must be zero.
  const int pad = block + 2 * BandLanes;
  for (int i = 1; i <= n; ++i) {
    const int last = std::min(w + pad, n - i + 1);
    if (last > w) std::fill(ws.BandRow(i) + w + 1, ws.BandRow(i) + last + 1, 0.0);
  }

  for (int i0 = 1; i0 <= n - 1; i0 += block) {
    const int p = std::min(block, n - i0);
    const int iEnd = i0 + p - 1;

    for (int q = 0; q < p; ++q) {
      const int i = i0 + q;
      const int m = reach(i);
      const double* pivotRow = ws.BandRow(i);
      if (m >= 2 && PivotIsNegligible(pivotRow[1], ws.PivotScale[i])) {
        ws.FailureDof = i;
        return false;
      }
      double* f = ws.Factors[q].data();
      for (int j = 2; j <= m; ++j) f[j] = pivotRow[j] / pivotRow[1];
      for (int j = 2; j <= m && i + j - 1 <= iEnd; ++j) {
        const int r = i + j - 1;
        const double* tail = pivotRow + (j - 1);  // tail[c] = Band[i][c + j - 1]
        UpdateSpan(ws.BandRow(r), &tail, &f[j], 1, 1, m - j + 1);
        ws.Rhs[r] -= f[j] * ws.Rhs[i];
      }
    }

    // The rows below the block, addressed by global column g: every row needs
    // the same pivot-row entries at the same place within a cache line. The
    // last row any pivot of the block reaches is rLast, and so is its last column.
    const double* pivotAt[EliminationBlock];  // pivotAt[q][g] = entry (i0 + q, g)
    for (int q = 0; q < p; ++q) pivotAt[q] = ws.BandRow(i0 + q) + 1 - (i0 + q);
    const int rLast = std::min(n, iEnd + w - 1);
    // The multipliers of each row below, by pivot: RowFactors[(r - iEnd - 1)·block + q].
    auto factorsOf = [&](int r) { return &ws.RowFactors[static_cast<std::size_t>(r - iEnd - 1) * EliminationBlock]; };
    for (int r = iEnd + 1; r <= rLast; ++r) {
      double* f = factorsOf(r);
      double rhs = ws.Rhs[r];
      for (int q = 0; q < p; ++q) {
        const int i = i0 + q, j = r - i + 1;
        f[q] = j <= reach(i) ? ws.Factors[q][j] : 0.0;
        if (j <= reach(i)) rhs -= f[q] * ws.Rhs[i];
      }
      ws.Rhs[r] = rhs;
    }
    // Four rows at a time, in whole aligned vectors of 2·BandLanes columns
    // from the multiple of BandLanes at or below r to at most 2·BandLanes - 1
    // past rLast; the rest row by row. Columns before a row's diagonal and
    // after the last column n are computed as well: their slots lie in the
    // row's slack (see BandStride) and are never read as matrix entries.
    int r = iEnd + 1;
    for (; r + 3 <= rLast; r += 4) {
      double* rows[4];
      const double* f[4];
      for (int k = 0; k < 4; ++k) {
        rows[k] = ws.BandRow(r + k) + 1 - (r + k);
        f[k] = factorsOf(r + k);
      }
      const int g0 = r & ~(BandLanes - 1);
      const int g1 = g0 + (rLast - g0 + 2 * BandLanes) / (2 * BandLanes) * (2 * BandLanes) - 1;
      UpdateFourRows(rows, pivotAt, f, p, g0, g1);
    }
    for (; r <= rLast; ++r) UpdateSpan(ws.BandRow(r) + 1 - r, pivotAt, factorsOf(r), p, r, rLast);
  }
  return true;
}

bool BackSubstitute(SolverWorkspace& ws) {
  const int n = ws.DofCount;
  if (n < 1) return true;
  if (PivotIsNegligible(ws.BandAt(n, 1), ws.PivotScale[n])) {
    ws.FailureDof = n;
    return false;
  }
  ws.Rhs[n] = ws.Rhs[n] / ws.BandAt(n, 1);
  for (int i = n - 1; i >= 1; --i) {
    const double* row = ws.BandRow(i);
    if (PivotIsNegligible(row[1], ws.PivotScale[i])) {
      ws.FailureDof = i;
      return false;
    }
    const double g = 1.0 / row[1];
    double value = g * ws.Rhs[i];
    const int m = std::min(n - i + 1, ws.HalfBandwidth);
    for (int j = 2; j <= m; ++j) value -= g * row[j] * ws.Rhs[i + j - 1];
    ws.Rhs[i] = value;
  }
  return true;
}

void SolveModel(SolverWorkspace& ws) {
  ws.Status = SolveOk;
  ws.FailureDof = ws.FailureElement = ws.FailureMaterial = 0;
  ws.DofCount = 3 * ws.NodeCount;
  if (ws.DofCount >= 2000 || !ReferencesInRange(ws)) {
    ws.Status = SolveInputError;
    return;
  }
  for (int d = 1; d <= ws.DofCount; ++d) ws.Rhs[d] = ws.Loads[d];
  ws.HalfBandwidth = ComputeHalfBandwidth(ws);
  if (!AssembleBand(ws)) {
    ws.Status = SolveInputError;
    return;
  }
  if (!RigidMotionRestrained(ws, ws.FailureDof) || !EliminateBand(ws) || !BackSubstitute(ws)) {
    ws.Status = SolveSingular;
    return;
  }
  RecoverStresses(ws);
}

void SolveModel() { SolveModel(TheSolverWorkspace); }

}  // namespace qor
