#pragma once

#include <string>
#include <vector>

#include "platform/UserMessage.h"
#include "solid/Progress.h"
#include "solid/SolidModel.h"

namespace qor {

// The sparse path for models of any size, on PETSc: assembly of each
// process's elements into a matrix of block size 3 from the element kernels
// the band path uses, supports eliminated exactly, and a direct or an
// iterative solution. Every PETSc call stays behind this interface.

enum class SparseSolver { Direct, Iterative };

struct SparseOptions {
  SparseSolver solver = SparseSolver::Iterative;
  bool useDensities = false;  // the file's per-element multipliers, as "&Gęstości z pliku"
  Progress* progress = nullptr;
  // When set, the first process also receives the displacements as solved, before their rounding to float
  // ([1..3·NodeCount], index 0 unused): for comparisons finer than a float.
  std::vector<double>* solvedDisplacements = nullptr;
};

struct SparseOutcome {
  bool succeeded = false;
  UserMessage message;  // on failure: the message and its cause line (detail), as the band path gives them
  int iterations = 0;   // iterative: the iterations taken
  double residual = 0;  // iterative: the final relative residual
  bool fellBackToDirect = false;
  std::string notice;  // what standard error should say of a fall-back, empty otherwise
};

// MPI and PETSc for the whole run of the program: one per process, before
// any other call of this interface, ended when it goes out of scope. Throws
// std::runtime_error (a Polish message) when MPI or PETSc cannot start.
class ParallelSession {
 public:
  ParallelSession(int* argc, char*** argv);
  ~ParallelSession();
  ParallelSession(const ParallelSession&) = delete;
  ParallelSession& operator=(const ParallelSession&) = delete;
  int Rank() const { return rank_; }
  int Size() const { return size_; }

 private:
  int rank_ = 0;
  int size_ = 1;
};

/// Computes `model` (already checked: counts, materials, supports, rigidity) on every process of the
/// session; on success the first process's `results` hold the displacements and the stresses, rounded
/// to float and cleaned below 1e-8 as the window's results are.
SparseOutcome SolveSparse(const SolidModel& model, const SparseOptions& options, SolidResults& results);

}  // namespace qor
