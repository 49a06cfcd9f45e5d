#pragma once

#include <array>
#include <cstdint>

#include "analysis/ElementMatrices.h"

namespace qor {

// Capacities of the solver's own copy of the model; index 0 is never used.
inline constexpr int SolverElementCapacity = 1999;
inline constexpr int SolverNodeCapacity = 999;
inline constexpr int SolverSupportCapacity = 499;
inline constexpr int SolverDofCapacity = 1999;
inline constexpr int SolverMaterialCapacity = 9;
// A band row holds 2000 entries. Rows are stored BandStride doubles apart (a
// multiple of 8, and not of 512, so that rows do not compete for the same
// cache sets), and row i is shifted by (i - 1) mod 8 doubles: then every entry
// of global column g lies at the same position within a 64-byte line in every
// row, and the elimination reads and writes whole aligned vectors. Each row
// has slack for 48 entries past its end and 17 before its diagonal, where the
// elimination may complete a vector with entries nobody reads.
inline constexpr int BandRowLength = 2000;
inline constexpr int BandStride = 2072;
inline constexpr int BandLanes = 8;  // doubles in one 64-byte line
// Most pivot rows eliminated together in one pass over the rows below them,
// and most rows below updated together, over every instruction set.
inline constexpr int EliminationBlock = 64;
inline constexpr int MostRowsTogether = 8;
// Each multiplier of a row below is stored up to this many times side by
// side, so that the narrowest vectors load it without a shuffle.
inline constexpr int MostFactorCopies = 2;
inline constexpr int RowFactorStride = EliminationBlock * MostFactorCopies;

enum SolveStatus : std::int32_t {
  SolveOk = 0,
  SolveInputError = 1,   // too many degrees of freedom, a failing element, or a reference out of range
  SolveSingular = 2,     // the supports leave the model, or a part of it, free to move
  SolveStressError = 3,  // an element failed during the stress recovery
};

// The analysis's own copy of the model with the band matrix. One static
// instance lives for the whole run (TheSolverWorkspace); the compute command
// fills it, SolveModel works on it and the command copies the results back.
// The model's own numbers stay floats; everything computed from them
// (matrices, right-hand side, displacements, stresses) is double.
struct SolverWorkspace {
  std::int32_t HalfBandwidth = 0;
  double Penalty = 0;
  Matrix12x12 Ke{};
  std::int32_t Status = 0;
  std::int32_t ElementCount = 0, NodeCount = 0, SupportCount = 0, MaterialCount = 0;
  std::int32_t DofCount = 0;
  // Where a failure was found, 0 when not known: the degree of freedom left
  // free to move (Status 2), the element and the material at fault (Status 1, 3).
  std::int32_t FailureDof = 0, FailureElement = 0, FailureMaterial = 0;

  std::array<std::array<std::int32_t, 5>, SolverElementCapacity + 1> ElementNodes{};  // [e][1..4]
  std::array<std::int32_t, SolverSupportCapacity + 1> SupportDofs{};
  std::array<std::int32_t, SolverSupportCapacity + 1> SupportValues{};
  std::array<std::int32_t, SolverElementCapacity + 1> ElementMaterials{};
  std::array<double, SolverDofCapacity + 1> Rhs{};
  std::array<float, SolverDofCapacity + 1> Loads{};
  std::array<float, SolverNodeCapacity + 1> X{}, Y{}, Z{};
  std::array<std::array<double, 8>, SolverElementCapacity + 1> ElementStresses{};  // [e][1..7]
  std::array<float, SolverMaterialCapacity + 1> MaterialE{}, MaterialNu{};
  std::array<float, SolverElementCapacity + 1> ElementDensities{};

  // Diagonal of every row before elimination: the scale its pivot is judged by.
  std::array<double, SolverDofCapacity + 1> PivotScale{};
  // Multipliers of the pivot rows of one elimination block, [q][j].
  std::array<std::array<double, BandRowLength + 1>, EliminationBlock> Factors{};
  // The same multipliers by row below the block, each repeated as the
  // variant's kernels read them: [(r - last pivot - 1)·RowFactorStride + q·copies].
  alignas(64) std::array<double, static_cast<std::size_t>(BandRowLength) * RowFactorStride> RowFactors{};
  // A row that completes the last group of rows updated together, addressed
  // by global column, and its multipliers (all zero).
  alignas(64) std::array<double, BandStride> SpareRow{};
  alignas(64) std::array<double, RowFactorStride> ZeroFactors{};

  // Row i (1..1999) of the band; entry t (1..HalfBandwidth) stands for the
  // global entry (i, i + t - 1).
  double* BandRow(int i) { return &Band[RowOffset(i)]; }
  const double* BandRow(int i) const { return &Band[RowOffset(i)]; }
  static std::size_t RowOffset(int i) { return static_cast<std::size_t>(i) * BandStride + (i - 1) % BandLanes; }
  double& BandAt(int i, int t) { return BandRow(i)[t]; }

  alignas(64) std::array<double, static_cast<std::size_t>(SolverDofCapacity + 1) * BandStride> Band{};
};

// The one workspace of the program (about 35 MB, static storage).
extern SolverWorkspace TheSolverWorkspace;

// A pivot at most this fraction of its row's diagonal before elimination
// counts as zero. See SolveModel.cpp for the choice.
inline constexpr double NegligiblePivot = 1e-11;
// The support penalty as a multiple of the largest diagonal entry of the
// assembled matrix. See SolveModel.cpp for the choice.
inline constexpr double PenaltyFactor = 1e10;

/// Assembles, applies the supports, eliminates, back-substitutes and recovers
/// the stresses; leaves Status, Rhs (the displacements) and ElementStresses.
void SolveModel(SolverWorkspace& ws);
void SolveModel();

/// The largest 3·(nmax - nmin + 1) over the elements; 0 without elements.
std::int32_t ComputeHalfBandwidth(const SolverWorkspace& ws);

/// True when every element node, element material and support refers to a row that exists.
bool ReferencesInRange(const SolverWorkspace& ws);

/// True when the supports stop every rigid-body motion of every group of elements joined through shared nodes.
/// Otherwise `freeDof` receives a degree of freedom that moves in a free motion (the one that moves most).
bool RigidMotionRestrained(const SolverWorkspace& ws, std::int32_t& freeDof);

/// Steps of SolveModel, each usable on its own by tests and benchmarks.
/// AssembleBand: zero the band, scatter every element's Ke, add the penalties; false on a failing
/// element (FailureElement and, for a material out of range, FailureMaterial set).
bool AssembleBand(SolverWorkspace& ws);
/// EliminateBand + BackSubstitute: solve the assembled band in place; false on a negligible pivot
/// (FailureDof set to its row).
bool EliminateBand(SolverWorkspace& ws);
bool BackSubstitute(SolverWorkspace& ws);

/// The instruction sets the elimination has kernels for; every one gives the same bits.
enum class EliminationVariant { Default, Avx2, Avx512f };
/// True when this processor (and its operating system) can execute `variant`.
bool VariantAvailable(EliminationVariant variant);
/// The widest variant available: the one EliminateBand(ws) uses unless another is forced.
EliminationVariant DispatchedVariant();
/// "avx512f", "avx2" or "default".
const char* VariantName(EliminationVariant variant);
/// Makes EliminateBand(ws), and so SolveModel and the compute command, use `variant` from now on for the
/// whole process (benchmarks and tests measure and check every variant this way); ignored when this
/// processor cannot execute it, the dispatched variant is used. ResetEliminationVariant goes back to it.
void ForceEliminationVariant(EliminationVariant variant);
void ResetEliminationVariant();
/// The variant EliminateBand(ws) uses now: the forced one, or else the dispatched one.
EliminationVariant ActiveVariant();
/// EliminateBand with the kernels of `variant` (the dispatched one when this processor cannot execute it).
bool EliminateBand(SolverWorkspace& ws, EliminationVariant variant);
/// True when `pivot` is not clearly positive against `scale`, the row's diagonal before elimination.
bool PivotIsNegligible(double pivot, double scale);
/// Gathers element e's corners from the workspace.
TetCorners CornersOf(const SolverWorkspace& ws, int e);

/// Six stress components and the reduced (Huber) stress of every element; false and Status 3 on failure.
bool RecoverStresses(SolverWorkspace& ws);

}  // namespace qor
