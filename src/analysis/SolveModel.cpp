#include <algorithm>
#include <array>
#include <atomic>
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

// Aligned double vectors of the compiler's vector extension: element-wise IEEE
// double operations, lowered to the vector registers of the function's target.
// They may alias the double arrays they are read from.
template <int Lanes>
struct DoubleVector {
  typedef double type __attribute__((vector_size(8 * Lanes), may_alias));
};

// rows[k][g] -= f[k][q] * a[q][g] for q = 0..K-1 in this order, for the R
// rows k and the C vectors of L doubles from column g: the R × C vectors stay
// in registers across the K pivots, and each pivot-row vector loaded serves
// all R rows. Each entry receives the updates in increasing pivot order,
// exactly as one pivot after the other would give it; the build forbids fused
// multiply-add, so every instruction set gives the same bits.
template <int L, int R, int C, int Copies>
[[gnu::always_inline]] inline void UpdateStrip(double* const* __restrict rows, const double* const* __restrict a,
                                               const double* const* __restrict f, int K, int g) {
  typedef typename DoubleVector<L>::type V;
  V acc[R][C];
#pragma GCC unroll 16
  for (int k = 0; k < R; ++k)
#pragma GCC unroll 16
    for (int v = 0; v < C; ++v) acc[k][v] = *reinterpret_cast<const V*>(rows[k] + g + v * L);
  for (int q = 0; q < K; ++q) {
    V pivot[C];
#pragma GCC unroll 16
    for (int v = 0; v < C; ++v) pivot[v] = *reinterpret_cast<const V*>(a[q] + g + v * L);
#pragma GCC unroll 16
    for (int k = 0; k < R; ++k) {
      if constexpr (Copies == L) {
        // The multiplier stored L times over: one aligned load, no shuffle.
        const V factor = *reinterpret_cast<const V*>(f[k] + q * Copies);
#pragma GCC unroll 16
        for (int v = 0; v < C; ++v) acc[k][v] -= factor * pivot[v];
      } else {
        const double factor = f[k][q * Copies];
#pragma GCC unroll 16
        for (int v = 0; v < C; ++v) acc[k][v] -= factor * pivot[v];
      }
    }
  }
#pragma GCC unroll 16
  for (int k = 0; k < R; ++k)
#pragma GCC unroll 16
    for (int v = 0; v < C; ++v) *reinterpret_cast<V*>(rows[k] + g + v * L) = acc[k][v];
}

// The columns g0..g1 (whole lines of BandLanes doubles, see BandStride) in
// strips of C vectors, and what remains one vector at a time. Inlined into one
// function per instruction set, whose register file decides R and C: R·C
// accumulators, C pivot vectors, a broadcast multiplier and a product.
template <int L, int R, int C, int Copies>
[[gnu::always_inline]] inline void UpdateRows(double* const* __restrict rows, const double* const* __restrict a,
                                              const double* const* __restrict f, int K, int g0, int g1) {
  int g = g0;
  for (; g + C * L - 1 <= g1; g += C * L) UpdateStrip<L, R, C, Copies>(rows, a, f, K, g);
  for (; g + L - 1 <= g1; g += L) UpdateStrip<L, R, 1, Copies>(rows, a, f, K, g);
}

typedef void RowsKernel(double* const* __restrict rows, const double* const* __restrict a,
                        const double* const* __restrict f, int K, int g0, int g1);

// The kernels of one instruction set: `Rows` updates `rows` rows at once,
// `Row` a single one (the rows inside a block); `block` is the most pivots
// eliminated together (at most EliminationBlock).
struct Kernels {
  RowsKernel* Rows;
  RowsKernel* Row;
  int rows, block;
  int copies;  // of each multiplier, side by side
};

#if defined(__x86_64__) || defined(__i386__)
#define QOR_TARGET(isa) [[gnu::target(isa)]]
#else
#define QOR_TARGET(isa)
#endif

// 32 registers of 8 doubles: 6 rows × 4 vectors take 24, the 4 pivot vectors
// 4, and the multipliers are broadcast from memory.
QOR_TARGET("avx512f")
void RowsAvx512f(double* const* rows, const double* const* a, const double* const* f, int K, int g0, int g1) {
  UpdateRows<8, 6, 4, 1>(rows, a, f, K, g0, g1);
}
QOR_TARGET("avx512f")
void RowAvx512f(double* const* rows, const double* const* a, const double* const* f, int K, int g0, int g1) {
  UpdateRows<8, 1, 4, 1>(rows, a, f, K, g0, g1);
}
// 16 registers of 4 doubles: 6 rows × 2 vectors take 12, the pivot vectors 2,
// a broadcast multiplier 1 and the product 1. A single row takes 4 vectors,
// so that 4 chains of subtractions hide their latency.
QOR_TARGET("avx2")
void RowsAvx2(double* const* rows, const double* const* a, const double* const* f, int K, int g0, int g1) {
  UpdateRows<4, 6, 2, 1>(rows, a, f, K, g0, g1);
}
QOR_TARGET("avx2")
void RowAvx2(double* const* rows, const double* const* a, const double* const* f, int K, int g0, int g1) {
  UpdateRows<4, 1, 4, 1>(rows, a, f, K, g0, g1);
}
// 16 registers of 2 doubles: 6 rows × 2 vectors take 12, the pivot vectors 2
// and the product 1; the multipliers, stored twice, are read from memory by
// the multiplications, as no broadcast instruction exists.
void RowsDefault(double* const* rows, const double* const* a, const double* const* f, int K, int g0, int g1) {
  UpdateRows<2, 6, 2, 2>(rows, a, f, K, g0, g1);
}
void RowDefault(double* const* rows, const double* const* a, const double* const* f, int K, int g0, int g1) {
  UpdateRows<2, 1, 4, 2>(rows, a, f, K, g0, g1);
}

const Kernels& KernelsOf(EliminationVariant variant) {
  static const Kernels avx512f{RowsAvx512f, RowAvx512f, 6, 64, 1};
  static const Kernels avx2{RowsAvx2, RowAvx2, 6, 64, 1};
  static const Kernels baseline{RowsDefault, RowDefault, 6, 64, 2};
  switch (variant) {
    case EliminationVariant::Avx512f:
      return avx512f;
    case EliminationVariant::Avx2:
      return avx2;
    case EliminationVariant::Default:
      break;
  }
  return baseline;
}

// The whole lines of BandLanes columns that hold the columns from..to: every
// vector in them is aligned in every row (see BandStride).
std::pair<int, int> LinesCovering(int from, int to) { return {from & ~(BandLanes - 1), to | (BandLanes - 1)}; }

}  // namespace

bool VariantAvailable(EliminationVariant variant) {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_cpu_init();
  switch (variant) {
    case EliminationVariant::Avx512f:
      return __builtin_cpu_supports("avx512f");
    case EliminationVariant::Avx2:
      return __builtin_cpu_supports("avx2");
    case EliminationVariant::Default:
      return true;
  }
  return false;
#else
  return variant == EliminationVariant::Default;
#endif
}

EliminationVariant DispatchedVariant() {
  static const EliminationVariant chosen = VariantAvailable(EliminationVariant::Avx512f) ? EliminationVariant::Avx512f
                                           : VariantAvailable(EliminationVariant::Avx2)  ? EliminationVariant::Avx2
                                                                                         : EliminationVariant::Default;
  return chosen;
}

const char* VariantName(EliminationVariant variant) {
  switch (variant) {
    case EliminationVariant::Avx512f:
      return "avx512f";
    case EliminationVariant::Avx2:
      return "avx2";
    case EliminationVariant::Default:
      break;
  }
  return "default";
}

// Forward elimination of the symmetric band, the upper triangle in place: for
// pivot i and every row r = i + j - 1 within reach, row r loses f = Band[i][j] /
// Band[i][1] times row i's tail, and Rhs[r] loses f·Rhs[i]. Pivots are taken in
// blocks: first each row of the block receives the updates of the block's
// earlier pivots, in pivot order, and becomes a pivot row itself; then every
// row below the block receives the block's updates in pivot order, all columns
// at once. Where a pivot does not reach (a row beyond its band, or a column
// beyond its row's band) the update subtracts an exact zero: the multiplier of
// such a row is 0, and the columns past each row's band are cleared first. A
// band entry is never -0 (it starts at +0 and only sums and differences of
// finite numbers reach it), and x - (±0) is x for every other x, so every
// entry gets the same bits as with the plain loops one pivot at a time.
// Columns before a row's diagonal and after the last column n are computed as
// well: their slots lie in the row's slack (see BandStride) and are never read
// as matrix entries.
bool EliminateBand(SolverWorkspace& ws, EliminationVariant variant) {
  if (!VariantAvailable(variant)) variant = DispatchedVariant();
  const Kernels& kernels = KernelsOf(variant);
  const int copies = kernels.copies;
  const int n = ws.DofCount;
  const int w = ws.HalfBandwidth;
  for (int i = 1; i <= n; ++i) ws.PivotScale[i] = ws.BandAt(i, 1);
  auto reach = [n, w](int i) { return std::min(n - i + 1, w); };

  // Wide bands gain from many pivots per pass (each row below is read once per
  // block); narrow ones keep the in-block part small.
  const int block = std::clamp(w / 8, 8, kernels.block);
  // A pass reads the pivot rows up to block + BandLanes columns past their
  // band (see below): those entries within the matrix must be zero.
  const int pad = block + BandLanes;
  // (Never the diagonal, which a model without elements keeps as column 1.)
  const int first = std::max(w, 1) + 1;
  for (int i = 1; i <= n; ++i) {
    const int last = std::min(w + pad, n - i + 1);
    if (last >= first) std::fill(ws.BandRow(i) + first, ws.BandRow(i) + last + 1, 0.0);
  }

  for (int i0 = 1; i0 <= n - 1; i0 += block) {
    const int p = std::min(block, n - i0);
    const int iEnd = i0 + p - 1;
    // Rows addressed by global column g: every row needs the same pivot-row
    // entries at the same place within a cache line.
    const double* pivotAt[EliminationBlock];  // pivotAt[q][g] = entry (i0 + q, g)
    for (int q = 0; q < p; ++q) pivotAt[q] = ws.BandRow(i0 + q) + 1 - (i0 + q);

    for (int q = 0; q < p; ++q) {
      const int i = i0 + q;
      if (q > 0) {
        // Row i receives the block's earlier pivots, as far as the last of
        // them reaches.
        alignas(64) double factors[EliminationBlock * MostFactorCopies];
        double rhs = ws.Rhs[i];
        for (int k = 0; k < q; ++k) {
          const int j = i - (i0 + k) + 1;
          const double factor = j <= reach(i0 + k) ? ws.Factors[k][j] : 0.0;
          std::fill_n(factors + k * copies, copies, factor);
          if (j <= reach(i0 + k)) rhs -= factor * ws.Rhs[i0 + k];
        }
        ws.Rhs[i] = rhs;
        double* row = ws.BandRow(i) + 1 - i;
        const double* f = factors;
        const auto [g0, g1] = LinesCovering(i, std::min(n, i - 1 + w - 1));
        kernels.Row(&row, pivotAt, &f, q, g0, g1);
      }
      const int m = reach(i);
      const double* pivotRow = ws.BandRow(i);
      if (m >= 2 && PivotIsNegligible(pivotRow[1], ws.PivotScale[i])) {
        ws.FailureDof = i;
        return false;
      }
      double* f = ws.Factors[q].data();
      for (int j = 2; j <= m; ++j) f[j] = pivotRow[j] / pivotRow[1];
    }

    // The last row any pivot of the block reaches is rLast, and so is its last column.
    const int rLast = std::min(n, iEnd + w - 1);
    // The multipliers of each row below, by pivot, `copies` times each:
    // RowFactors[(r - iEnd - 1)·RowFactorStride + q·copies].
    auto factorsOf = [&](int r) { return &ws.RowFactors[static_cast<std::size_t>(r - iEnd - 1) * RowFactorStride]; };
    for (int r = iEnd + 1; r <= rLast; ++r) {
      double* f = factorsOf(r);
      double rhs = ws.Rhs[r];
      for (int q = 0; q < p; ++q) {
        const int i = i0 + q, j = r - i + 1;
        const double factor = j <= reach(i) ? ws.Factors[q][j] : 0.0;
        std::fill_n(f + q * copies, copies, factor);
        if (j <= reach(i)) rhs -= factor * ws.Rhs[i];
      }
      ws.Rhs[r] = rhs;
    }
    // Several rows at a time; a row's columns start at (the line of) its
    // diagonal. The last group is completed with the spare row, whose
    // multipliers are zero and whose results nobody reads.
    const int lastColumn = rLast | (BandLanes - 1);
    for (int r = iEnd + 1; r <= rLast; r += kernels.rows) {
      const int g0 = r & ~(BandLanes - 1);
      double* rows[MostRowsTogether];
      const double* f[MostRowsTogether];
      for (int k = 0; k < kernels.rows; ++k) {
        const bool real = r + k <= rLast;
        rows[k] = real ? ws.BandRow(r + k) + 1 - (r + k) : ws.SpareRow.data();
        f[k] = real ? factorsOf(r + k) : ws.ZeroFactors.data();
      }
      kernels.Rows(rows, pivotAt, f, p, g0, lastColumn);
    }
  }
  return true;
}

namespace {
// The variant forced by ForceEliminationVariant, or -1 for the dispatched one.
std::atomic<int> forcedVariant{-1};
}  // namespace

void ForceEliminationVariant(EliminationVariant variant) {
  forcedVariant = VariantAvailable(variant) ? static_cast<int>(variant) : -1;
}
void ResetEliminationVariant() { forcedVariant = -1; }
EliminationVariant ActiveVariant() {
  const int forced = forcedVariant;
  return forced < 0 ? DispatchedVariant() : static_cast<EliminationVariant>(forced);
}

bool EliminateBand(SolverWorkspace& ws) { return EliminateBand(ws, ActiveVariant()); }

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
