#include <algorithm>
#include <cmath>

#include "analysis/SolverWorkspace.h"

namespace qor {

SolverWorkspace TheSolverWorkspace;

// Pivots and mechanisms. Gaussian elimination without pivoting on a model that
// can still move or turn does not meet an exact zero: rounding leaves a residue
// of some units of single precision (6e-8) times the numbers subtracted, and
// the "solution" is that noise magnified. A model free to move as a whole (held
// at one point, along one line, or never in some direction) is caught exactly
// by RigidMotionRestrained before the elimination. What remains for the pivot
// test are mechanisms inside a model, such as two parts joined at one node or
// along one edge, or a part that touches no support. Each pivot is judged
// against its own row's diagonal before elimination, the scale of what was
// subtracted from it. Measured on block meshes: such mechanisms leave pivots of
// 5e-9 to 7e-7 of that diagonal; the weakest pivot of a well-supported
// cantilever fifty times longer than high is about 1e-5 of it (the tip's bending
// stiffness against the local stiffness of a corner node), one a hundred times
// longer about 1.4e-6. 1e-6 keeps all of these cantilevers computing and
// rejects the mechanisms; a smaller pivot would leave no significant digit of
// single precision in the displacements.
bool PivotIsNegligible(float pivot, float scale) {
  if (pivot == 0.0f) return true;
  return std::fabs(pivot) <= NegligiblePivot * std::fabs(scale);
}

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
  for (int i = 1; i <= n; ++i) std::fill_n(ws.BandRow(i) + 1, width, 0.0f);

  for (int e = 1; e <= ws.ElementCount; ++e) {
    const std::int32_t m = ws.ElementMaterials[e];
    if (!BuildElasticity(ws.MaterialE[m], ws.MaterialNu[m], ElasticityVariant::Stiffness, ws.D)) return false;
    float det = 0;
    if (!BuildStrainDisplacement(CornersOf(ws, e), ws.B, det)) return false;
    MultiplyDB(ws.D, ws.B, ws.DB);
    BuildElementStiffness(ws.B, ws.DB, det, ws.ElementDensities[e], ws.Ke);

    const auto& nodes = ws.ElementNodes[e];
    for (int a = 1; a <= 4; ++a) {
      for (int c = 1; c <= 3; ++c) {
        const int r = 3 * (nodes[a] - 1) + c;
        const int localRow = 3 * (a - 1) + c;
        float* row = ws.BandRow(r);
        for (int b = 1; b <= 4; ++b) {
          for (int g = 1; g <= 3; ++g) {
            const int t = 3 * (nodes[b] - 1) + g - r + 1;
            if (t > 0) row[t] += ws.Ke[localRow][3 * (b - 1) + g];
          }
        }
      }
    }
  }

  ws.Penalty = 1e10f;
  for (int j = 1; j <= ws.SupportCount; ++j) {
    const std::int32_t d = ws.SupportDofs[j];
    ws.BandAt(d, 1) += ws.Penalty;
    ws.Rhs[d] += static_cast<float>(ws.SupportValues[j]) * ws.Penalty;
  }
  return true;
}

namespace {

// row[c] -= f[q] * a[q][c] for q = 0..K-1 in this order, for c = c0..c1. Each
// entry receives the updates of the block's pivots in increasing pivot order,
// exactly as one pivot after the other would give it, while the row stays in
// registers across the K pivots. Compiled for several instruction sets; the
// build forbids fused multiply-add, so every variant gives the same bits.
template <int K>
[[gnu::target_clones("avx512f", "avx2", "default")]] void UpdateSpan(float* __restrict row,
                                                                      const float* const* __restrict a,
                                                                      const float* __restrict f, int c0, int c1) {
  const float* __restrict ap[K];
  float fq[K];
  for (int q = 0; q < K; ++q) {
    ap[q] = a[q];
    fq[q] = f[q];
  }
  for (int c = c0; c <= c1; ++c) {
    float v = row[c];
    for (int q = 0; q < K; ++q) v -= fq[q] * ap[q][c];
    row[c] = v;
  }
}

using SpanKernel = void (*)(float*, const float* const*, const float*, int, int);
constexpr SpanKernel SpanKernels[EliminationBlock + 1] = {nullptr,       UpdateSpan<1>, UpdateSpan<2>,
                                                          UpdateSpan<3>, UpdateSpan<4>, UpdateSpan<5>,
                                                          UpdateSpan<6>, UpdateSpan<7>, UpdateSpan<8>};
static_assert(EliminationBlock == 8, "one kernel per block size");

}  // namespace

// Forward elimination of the symmetric band, the upper triangle in place: for
// pivot i and every row r = i + j - 1 within reach, row r loses f = Band[i][j] /
// Band[i][1] times row i's tail, and Rhs[r] loses f·Rhs[i]. Pivots are taken in
// blocks of EliminationBlock rows: first the rows inside the block are
// updated pivot by pivot (they become pivot rows themselves), then every row
// below the block receives the block's updates in pivot order. Every entry sees
// the same float operations in the same order as with one pivot at a time.
bool EliminateBand(SolverWorkspace& ws) {
  const int n = ws.DofCount;
  const int w = ws.HalfBandwidth;
  for (int i = 1; i <= n; ++i) ws.PivotScale[i] = ws.BandAt(i, 1);
  auto reach = [n, w](int i) { return std::min(n - i + 1, w); };

  for (int i0 = 1; i0 <= n - 1; i0 += EliminationBlock) {
    const int p = std::min(EliminationBlock, n - i0);
    const int iEnd = i0 + p - 1;

    for (int q = 0; q < p; ++q) {
      const int i = i0 + q;
      const int m = reach(i);
      const float* pivotRow = ws.BandRow(i);
      if (m >= 2 && PivotIsNegligible(pivotRow[1], ws.PivotScale[i])) return false;
      float* f = ws.Factors[q].data();
      for (int j = 2; j <= m; ++j) f[j] = pivotRow[j] / pivotRow[1];
      for (int j = 2; j <= m && i + j - 1 <= iEnd; ++j) {
        const int r = i + j - 1;
        float* row = ws.BandRow(r);
        for (int k = j; k <= m; ++k) row[k - j + 1] -= f[j] * pivotRow[k];
        ws.Rhs[r] -= f[j] * ws.Rhs[i];
      }
    }

    const int rLast = std::min(n, iEnd + w - 1);
    for (int r = iEnd + 1; r <= rLast; ++r) {
      // Pivots that reach row r form a suffix of the block, and the columns
      // each of them updates (up to its cEnd) grow with the pivot number.
      int qStart = 0;
      while (qStart < p && i0 + qStart + reach(i0 + qStart) - 1 < r) ++qStart;
      if (qStart == p) continue;
      const float* a[EliminationBlock];
      float f[EliminationBlock];
      int cEnd[EliminationBlock];
      for (int q = qStart; q < p; ++q) {
        const int i = i0 + q;
        const int j = r - i + 1;
        a[q] = ws.BandRow(i) + (j - 1);
        f[q] = ws.Factors[q][j];
        cEnd[q] = reach(i) - j + 1;
      }
      float* row = ws.BandRow(r);
      int c0 = 1;
      for (int q = qStart; q < p; ++q) {
        if (cEnd[q] >= c0) {
          SpanKernels[p - q](row, a + q, f + q, c0, cEnd[q]);
          c0 = cEnd[q] + 1;
        }
      }
      float rhs = ws.Rhs[r];
      for (int q = qStart; q < p; ++q) rhs -= f[q] * ws.Rhs[i0 + q];
      ws.Rhs[r] = rhs;
    }
  }
  return true;
}

bool BackSubstitute(SolverWorkspace& ws) {
  const int n = ws.DofCount;
  if (n < 1) return true;
  if (PivotIsNegligible(ws.BandAt(n, 1), ws.PivotScale[n])) return false;
  ws.Rhs[n] = ws.Rhs[n] / ws.BandAt(n, 1);
  for (int i = n - 1; i >= 1; --i) {
    const float* row = ws.BandRow(i);
    if (PivotIsNegligible(row[1], ws.PivotScale[i])) return false;
    const float g = 1.0f / row[1];
    float value = g * ws.Rhs[i];
    const int m = std::min(n - i + 1, ws.HalfBandwidth);
    for (int j = 2; j <= m; ++j) value -= g * row[j] * ws.Rhs[i + j - 1];
    ws.Rhs[i] = value;
  }
  return true;
}

void SolveModel(SolverWorkspace& ws) {
  ws.Status = SolveOk;
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
  if (!RigidMotionRestrained(ws) || !EliminateBand(ws) || !BackSubstitute(ws)) {
    ws.Status = SolveSingular;
    return;
  }
  RecoverStresses(ws);
}

void SolveModel() { SolveModel(TheSolverWorkspace); }

}  // namespace qor
