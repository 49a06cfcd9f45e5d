#include "sparse/SparseSolve.h"

#include <omp.h>
#include <petscksp.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "analysis/ComputeCommand.h"
#include "analysis/ElementMatrices.h"
#include "sparse/Distribution.h"
#include "solid/SolidElements.h"
#include "sparse/ThreadedProducts.h"

namespace qor {

namespace {

// A PETSc call that failed. PETSc is told to return its errors instead of
// printing them (see ParallelSession); the failure leaves this file as a
// failed computation, never as an exception of the program.
struct PetscFailure {};

void Check(PetscErrorCode code) {
  if (code != 0) throw PetscFailure{};
}

// PETSc objects destroyed when they go out of scope, so that every path out
// of the solver (a failure included) frees them on every process.
template <class T, PetscErrorCode (*Destroy)(T*)>
class Owned {
 public:
  Owned() = default;
  ~Owned() {
    if (handle_) Destroy(&handle_);
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  T* operator&() { return &handle_; }
  operator T() const { return handle_; }
  void Reset() {
    if (handle_) Destroy(&handle_);
    handle_ = nullptr;
  }

 private:
  T handle_ = nullptr;
};
using OwnedMat = Owned<Mat, MatDestroy>;
using OwnedVec = Owned<Vec, VecDestroy>;
using OwnedKsp = Owned<KSP, KSPDestroy>;
using OwnedIs = Owned<IS, ISDestroy>;
using OwnedScatter = Owned<VecScatter, VecScatterDestroy>;
using OwnedNullSpace = Owned<MatNullSpace, MatNullSpaceDestroy>;

// CG stops when the unpreconditioned residual has fallen by this factor.
// Measured on the cantilever of 107,163 degrees of freedom against the sparse
// Cholesky: the largest difference in a displacement is 6.2e-11 of the
// largest displacement for every tolerance from 1e-8 (48 iterations) to 1e-12
// (65), the rounding of the solves themselves, and every model family of the
// tests stays within 1e-7 of the band path down to 1e-9. The stresses of two
// processes against one (a stiff and a soft material, random numbering) set
// the choice: 2.2e-8 of the largest stress apart at 1e-10, 1.3e-9 at 1e-11,
// 1.4e-10 at 1e-12.
constexpr PetscReal IterativeTolerance = 1e-12;
constexpr PetscInt IterationBudget = 3000;
// Up to this size, one process forms multigrid's coarse operators through the explicit transpose (see
// SolveIterative).
constexpr std::int64_t ExplicitTransposeDofs = 300000;
// A solution whose backward error (see ResidualOf) exceeds this is no
// solution: a solver that reports success with it has failed. CG stopped at
// IterativeTolerance leaves about that much, a sparse Cholesky about 1e-16.
constexpr double AcceptableBackwardError = 1e-9;
// The part of the available memory a sparse Cholesky may plan to use.
constexpr double DirectMemoryShare = 0.8;

struct Context {
  const SolidModel& model;
  const SparseOptions& options;
  MPI_Comm comm = PETSC_COMM_WORLD;
  int rank = 0, size = 1;
  Distribution parts;
  PetscInt first = 0, owned = 0;  // the process's nodes: shared indices first .. first + owned - 1
  int threads = 1;                 // the process's threads: every core when it runs alone

  Context(const SolidModel& m, const SparseOptions& o) : model(m), options(o) {}
  bool Owns(std::int32_t node) const {
    const PetscInt i = parts.NodeIndex[node];
    return i >= first && i < first + owned;
  }
  Progress* Report() const { return rank == 0 ? options.progress : nullptr; }
};

// A failure seen by one process, made known to all: the smallest element
// number that failed (0 when none) on every process.
std::int32_t SmallestOnAnyProcess(const Context& c, std::int32_t element) {
  std::int32_t local = element > 0 ? element : std::numeric_limits<std::int32_t>::max(), global = 0;
  MPI_Allreduce(&local, &global, 1, MPI_INT32_T, MPI_MIN, c.comm);
  return global == std::numeric_limits<std::int32_t>::max() ? 0 : global;
}

// The process's rows of A in compressed form, in the shared numbering with
// columns ascending: three rows for each node it owns, with three columns for
// every node that shares an element with it (itself included).
struct OwnRows {
  std::vector<std::int64_t> nodeStart;  // [owned + 1]: node i's neighbours are neighbour[nodeStart[i] ..]
  std::vector<PetscInt> neighbour;      // shared indices, ascending for each node
  std::vector<PetscInt> rowStart, column;
  std::vector<PetscScalar> value;
};

// The structure of the process's rows, from the elements at each node (freed afterwards).
void BuildStructure(const Context& c, OwnRows& rows) {
  const SolidModel& m = c.model;
  std::vector<std::int64_t> start(static_cast<std::size_t>(c.owned) + 1, 0);
  for (std::int32_t e = 1; e <= m.ElementCount(); ++e)
    for (int a = 1; a <= 4; ++a)
      if (c.Owns(m.Elements[e].node[a])) ++start[c.parts.NodeIndex[m.Elements[e].node[a]] - c.first + 1];
  for (PetscInt i = 0; i < c.owned; ++i) start[i + 1] += start[i];
  std::vector<std::int32_t> elementsAt(static_cast<std::size_t>(start[c.owned]));
  std::vector<std::int64_t> fill(start.begin(), start.end() - 1);
  for (std::int32_t e = 1; e <= m.ElementCount(); ++e)
    for (int a = 1; a <= 4; ++a)
      if (c.Owns(m.Elements[e].node[a])) elementsAt[fill[c.parts.NodeIndex[m.Elements[e].node[a]] - c.first]++] = e;

  rows.nodeStart.assign(static_cast<std::size_t>(c.owned) + 1, 0);
  std::vector<PetscInt> near;
  for (PetscInt i = 0; i < c.owned; ++i) {
    near.assign(1, c.first + i);  // a node in no element still has its diagonal block
    for (std::int64_t k = start[i]; k < start[i + 1]; ++k)
      for (int a = 1; a <= 4; ++a) near.push_back(c.parts.NodeIndex[m.Elements[elementsAt[k]].node[a]]);
    std::sort(near.begin(), near.end());
    near.erase(std::unique(near.begin(), near.end()), near.end());
    rows.neighbour.insert(rows.neighbour.end(), near.begin(), near.end());
    rows.nodeStart[i + 1] = static_cast<std::int64_t>(rows.neighbour.size());
  }
  // PETSc counts the process's entries in its own integers.
  if (9 * rows.nodeStart[c.owned] > std::numeric_limits<PetscInt>::max()) throw std::bad_alloc();
  rows.rowStart.resize(3 * static_cast<std::size_t>(c.owned) + 1);
  rows.column.resize(static_cast<std::size_t>(9 * rows.nodeStart[c.owned]));
  rows.rowStart[0] = 0;
  for (PetscInt i = 0; i < c.owned; ++i) {
    const std::int64_t degree = rows.nodeStart[i + 1] - rows.nodeStart[i];
    for (int r = 0; r < 3; ++r) {
      const std::int64_t at = 9 * rows.nodeStart[i] + 3 * degree * r;
      rows.rowStart[3 * i + r + 1] = static_cast<PetscInt>(at + 3 * degree);
      for (std::int64_t k = 0; k < degree; ++k)
        for (int s = 0; s < 3; ++s) rows.column[at + 3 * k + s] = 3 * rows.neighbour[rows.nodeStart[i] + k] + s;
    }
  }
  rows.value.assign(rows.column.size(), 0.0);
}

// Adds the element matrices into the process's rows, on its threads. Each
// thread takes a range of the rows and every element with a corner in it, in
// the elements' order, so that every entry sums its elements in that order
// whatever the count of processes and threads: the sums are the same, and
// exactly symmetric (each element matrix is made so from its upper triangle).
// Returns the first failing element of any process (0 when none) and, for a
// bad material, that material in `material`.
std::int32_t AssembleElements(const Context& c, OwnRows& rows, std::int32_t& material) {
  const SolidModel& m = c.model;
  std::int32_t failed = 0, failedMaterial = 0;
#pragma omp parallel num_threads(c.threads)
  {
    const PetscInt lo = c.first + c.owned * omp_get_thread_num() / omp_get_num_threads();
    const PetscInt hi = c.first + c.owned * (omp_get_thread_num() + 1) / omp_get_num_threads();
    std::int32_t myFailed = 0, myMaterial = 0;
    Matrix12x12 Ke;
    PetscInt index[4];
    for (std::int32_t e = 1; e <= m.ElementCount() && myFailed == 0; ++e) {
      const ElementRow& element = m.Elements[e];
      bool mine = false;
      for (int a = 0; a < 4; ++a) {
        index[a] = c.parts.NodeIndex[element.node[a + 1]];
        mine = mine || (index[a] >= lo && index[a] < hi);
      }
      if (!mine) continue;
      const MaterialRow& mat = m.Materials[element.material];
      const float rho = c.options.useDensities ? m.Densities[e] : 1.0f;
      if (!MaterialConstantsValid(mat.E, mat.nu)) {
        myFailed = e;
        myMaterial = element.material;
        break;
      }
      if (!(std::isfinite(rho) && rho >= 0.0f) || !ElementStiffness(CornersOf(m, e), mat.E, mat.nu, rho, Ke)) {
        myFailed = e;
        break;
      }
      for (int a = 0; a < 4; ++a) {
        if (index[a] < lo || index[a] >= hi) continue;
        const std::int64_t node = index[a] - c.first, first = rows.nodeStart[node];
        const std::int64_t degree = rows.nodeStart[node + 1] - first;
        const PetscInt* near = rows.neighbour.data() + first;
        for (int b = 0; b < 4; ++b) {
          const std::int64_t k = std::lower_bound(near, near + degree, index[b]) - near;
          PetscScalar* block = rows.value.data() + 9 * first + 3 * k;
          for (int r = 0; r < 3; ++r)
            for (int s = 0; s < 3; ++s) {
              const int i = 3 * a + r + 1, j = 3 * b + s + 1;
              block[3 * degree * r + s] += i <= j ? Ke[i][j] : Ke[j][i];
            }
        }
      }
    }
#pragma omp critical
    if (myFailed && (failed == 0 || myFailed < failed)) {
      failed = myFailed;
      failedMaterial = myMaterial;
    }
  }
  const std::int32_t first = SmallestOnAnyProcess(c, failed);
  std::int32_t local = first == failed ? failedMaterial : 0;
  MPI_Allreduce(&local, &material, 1, MPI_INT32_T, MPI_MAX, c.comm);
  return first;
}

// The process's rows of the right-hand side (the forces) and of the
// coordinates, in the shared numbering.
void FillOwnRows(const Context& c, Vec b, Vec coordinates) {
  PetscScalar *f = nullptr, *x = nullptr;
  Check(VecGetArray(b, &f));
  Check(VecGetArray(coordinates, &x));
  for (std::int32_t n = 1; n <= c.model.NodeCount(); ++n) {
    if (!c.Owns(n)) continue;
    const PetscInt i = c.parts.NodeIndex[n] - c.first;
    const NodeRow& p = c.model.Nodes[n];
    for (int k = 0; k < 3; ++k) f[3 * i + k] = c.model.Forces[DofOf(n, k + 1)];
    x[3 * i] = p.x;
    x[3 * i + 1] = p.y;
    x[3 * i + 2] = p.z;
  }
  Check(VecRestoreArray(b, &f));
  Check(VecRestoreArray(coordinates, &x));
}

// The supported rows of the process (shared numbering) with their prescribed
// values. A degree of freedom supported twice takes the mean of its values,
// as the band path's two penalties give it.
void OwnSupports(const Context& c, std::vector<PetscInt>& rows, std::vector<PetscScalar>& values) {
  std::vector<double> sum(3 * static_cast<std::size_t>(c.owned), 0.0);
  std::vector<int> count(sum.size(), 0);
  for (std::int32_t j = 1; j <= c.model.SupportCount(); ++j) {
    const std::int32_t dof = c.model.Supports[j].dof, node = (dof + 2) / 3;
    if (!c.Owns(node)) continue;
    const std::size_t i = 3 * static_cast<std::size_t>(c.parts.NodeIndex[node] - c.first) + (dof - 1) % 3;
    sum[i] += c.model.Supports[j].value;
    ++count[i];
  }
  for (std::size_t i = 0; i < sum.size(); ++i)
    if (count[i] > 0) {
      rows.push_back(static_cast<PetscInt>(3 * c.first + i));
      values.push_back(sum[i] / count[i]);
    }
}

// Eliminates the supports exactly: each supported row and column becomes
// that of the identity times the mean diagonal (keeping the matrix's scale,
// so neither solver meets an eigenvalue out of proportion), the right-hand
// side of a supported row the prescribed value times it, and every other row's
// right-hand side loses its column's entries times the prescribed values.
void EliminateSupports(Mat A, Vec b, Vec prescribed, const std::vector<PetscInt>& rows,
                       const std::vector<PetscScalar>& values) {
  OwnedVec diagonal;
  Check(MatCreateVecs(A, &diagonal, nullptr));
  Check(MatGetDiagonal(A, diagonal));
  PetscScalar total = 0;
  PetscInt n = 0;
  Check(VecSum(diagonal, &total));
  Check(VecGetSize(diagonal, &n));
  const double scale = n > 0 && total > 0 ? total / n : 1.0;
  Check(VecSet(prescribed, 0.0));
  if (!rows.empty())
    Check(VecSetValues(prescribed, static_cast<PetscInt>(rows.size()), rows.data(), values.data(), INSERT_VALUES));
  Check(VecAssemblyBegin(prescribed));
  Check(VecAssemblyEnd(prescribed));
  Check(MatZeroRowsColumns(A, static_cast<PetscInt>(rows.size()), rows.data(), scale, prescribed, b));
}

// The memory available to the run, in MB, from /proc/meminfo (infinite when unknown).
double AvailableMegabytes() {
  std::ifstream in("/proc/meminfo");
  std::string key;
  double kb = 0;
  std::string unit;
  while (in >> key >> kb >> unit)
    if (key == "MemAvailable:") return kb / 1024.0;
  return std::numeric_limits<double>::infinity();
}

std::string Format(const char* format, double a, double b = 0) {
  char text[160];
  std::snprintf(text, sizeof text, format, a, b);
  return text;
}

// How well x solves A·x = b: the relative residual ||b - A·x|| / ||b||
// (reported to the user), and the backward error ||b - A·x|| / (||A||·||x||
// + ||b||) in the maximum norms (judged: a sound solve leaves a few units of
// rounding whatever the conditioning, while ||r|| / ||b|| of a correct
// direct solve grows with the condition number).
struct Residual {
  double relative = 0, backward = 0;
};

Residual ResidualOf(Mat A, Vec b, Vec x) {
  OwnedVec r;
  Check(VecDuplicate(b, &r));
  Check(MatMult(A, x, r));
  Check(VecAYPX(r, -1.0, b));
  PetscReal r2 = 0, b2 = 0, rInf = 0, bInf = 0, xInf = 0, aInf = 0;
  Check(VecNorm(r, NORM_2, &r2));
  Check(VecNorm(b, NORM_2, &b2));
  Check(VecNorm(r, NORM_INFINITY, &rInf));
  Check(VecNorm(b, NORM_INFINITY, &bInf));
  Check(VecNorm(x, NORM_INFINITY, &xInf));
  Check(MatNorm(A, NORM_INFINITY, &aInf));
  const double infinite = std::numeric_limits<double>::infinity();
  Residual result;
  result.relative = b2 > 0 ? r2 / b2 : (r2 == 0 ? 0.0 : infinite);
  const double scale = aInf * xInf + bInf;
  result.backward = scale > 0 ? rInf / scale : (rInf == 0 ? 0.0 : infinite);
  if (!std::isfinite(result.backward)) result.backward = result.relative = infinite;  // NaN included
  return result;
}

struct Monitor {
  Progress* progress = nullptr;
  PetscReal initial = 0;
};

PetscErrorCode ReportIteration(KSP, PetscInt it, PetscReal norm, void* data) {
  auto* monitor = static_cast<Monitor*>(data);
  if (it == 0) monitor->initial = norm;
  if (monitor->progress && it > 0 && it % 10 == 0) {
    const double relative = monitor->initial > 0 ? norm / monitor->initial : 0.0;
    monitor->progress->Update("iteracja " + std::to_string(it) + Format(", residuum %.1e", relative));
  }
  return 0;
}

// A matrix of one process's compressed rows (of the multigrid hierarchy, or
// a process's part of A) seen through CompressedRows: its arrays are held,
// and the matrix referenced, for as long as the view lives.
class RowView {
 public:
  RowView() = default;
  RowView(const RowView&) = delete;
  RowView& operator=(const RowView&) = delete;
  ~RowView() {
    if (!matrix_) return;
    PetscInt n = 0;
    PetscBool done = PETSC_FALSE;
    MatSeqAIJRestoreArrayRead(matrix_, &value_);
    MatRestoreRowIJ(matrix_, 0, PETSC_FALSE, PETSC_FALSE, &n, &rowStart_, &column_, &done);
    MatDestroy(&matrix_);
  }
  // False, and nothing held, for any other kind of matrix.
  bool Open(Mat A, int threads) {
    PetscBool compressed = PETSC_FALSE, done = PETSC_FALSE;
    Check(PetscObjectTypeCompare(reinterpret_cast<PetscObject>(A), MATSEQAIJ, &compressed));
    if (!compressed) return false;
    PetscInt n = 0, rows = 0, columns = 0;
    Check(MatGetSize(A, &rows, &columns));
    Check(MatGetRowIJ(A, 0, PETSC_FALSE, PETSC_FALSE, &n, &rowStart_, &column_, &done));
    if (!done) return false;
    Check(PetscObjectReference(reinterpret_cast<PetscObject>(A)));
    matrix_ = A;
    Check(MatSeqAIJGetArrayRead(A, &value_));
    products_.emplace(rows, columns, rowStart_, column_, value_, threads);
    return true;
  }
  const CompressedRows& Products() const { return *products_; }

 private:
  Mat matrix_ = nullptr;
  const PetscInt* rowStart_ = nullptr;
  const PetscInt* column_ = nullptr;
  const PetscScalar* value_ = nullptr;
  std::optional<CompressedRows> products_;
};

// The products of CG and of the finest level of multigrid: the upper
// triangle of blocks of the process's own columns, multiplied on the
// process's threads (see SymmetricBlocks); on many processes, plus the
// entries of the other processes' columns, whose x a scatter brings while the
// blocks are multiplied.
struct BlockProducts {
  SymmetricBlocks blocks;
  int threads = 1;
  RowView rest;
  OwnedScatter scatter;
  OwnedVec ghosts;
};

PetscErrorCode MultiplyBlocks(Mat S, Vec x, Vec y) {
  void* context = nullptr;
  PetscCall(MatShellGetContext(S, &context));
  auto* products = static_cast<BlockProducts*>(context);
  const bool distributed = products->scatter != nullptr;
  if (distributed) PetscCall(VecScatterBegin(products->scatter, x, products->ghosts, INSERT_VALUES, SCATTER_FORWARD));
  const PetscScalar* in = nullptr;
  PetscScalar* out = nullptr;
  PetscCall(VecGetArrayRead(x, &in));
  PetscCall(VecGetArrayWrite(y, &out));
  products->blocks.Multiply(in, out, products->threads);
  if (distributed) {
    PetscCall(VecScatterEnd(products->scatter, x, products->ghosts, INSERT_VALUES, SCATTER_FORWARD));
    const PetscScalar* ghost = nullptr;
    PetscCall(VecGetArrayRead(products->ghosts, &ghost));
    products->rest.Products().Multiply(ghost, out, out);
    PetscCall(VecRestoreArrayRead(products->ghosts, &ghost));
  }
  PetscCall(VecRestoreArrayWrite(y, &out));
  PetscCall(VecRestoreArrayRead(x, &in));
  return 0;
}

// A shell matrix with A's products through BlockProducts; false (and A's
// own products used) when A's structure does not allow them. `layout` is a
// vector of A's rows.
bool MakeBlockProducts(const Context& c, Mat A, Vec layout, BlockProducts& products, OwnedMat& shell) {
  PetscBool distributed = PETSC_FALSE, compressed = PETSC_FALSE;
  Check(PetscObjectTypeCompare(reinterpret_cast<PetscObject>(A), MATMPIAIJ, &distributed));
  Check(PetscObjectTypeCompare(reinterpret_cast<PetscObject>(A), MATSEQAIJ, &compressed));
  if (!distributed && !compressed) return false;
  Mat own = A, rest = nullptr;
  const PetscInt* restColumns = nullptr;
  if (distributed) Check(MatMPIAIJGetSeqAIJ(A, &own, &rest, &restColumns));
  PetscInt n = 0;
  const PetscInt *ia = nullptr, *ja = nullptr;
  PetscBool done = PETSC_FALSE;
  Check(MatGetRowIJ(own, 0, PETSC_FALSE, PETSC_FALSE, &n, &ia, &ja, &done));
  if (!done) return false;
  const PetscInt rows = n;  // restoring the structure clears n
  const std::vector<std::int64_t> rowStart(ia, ia + rows + 1);
  const PetscScalar* values = nullptr;
  Check(MatSeqAIJGetArrayRead(own, &values));
  const bool built = products.blocks.Build(rows, rowStart.data(), ja, values);
  Check(MatSeqAIJRestoreArrayRead(own, &values));
  Check(MatRestoreRowIJ(own, 0, PETSC_FALSE, PETSC_FALSE, &n, &ia, &ja, &done));
  if (!built) return false;
  products.threads = c.threads;
  if (distributed) {
    if (!products.rest.Open(rest, 1)) return false;
    PetscInt restRows = 0, ghostCount = 0;
    Check(MatGetSize(rest, &restRows, &ghostCount));
    OwnedIs ghostRows;
    Check(ISCreateGeneral(PETSC_COMM_SELF, ghostCount, restColumns, PETSC_COPY_VALUES, &ghostRows));
    Check(VecCreateSeq(PETSC_COMM_SELF, ghostCount, &products.ghosts));
    Check(VecScatterCreate(layout, ghostRows, products.ghosts, nullptr, &products.scatter));
  }
  PetscInt localRows = 0, localColumns = 0, globalRows = 0, globalColumns = 0;
  Check(MatGetLocalSize(A, &localRows, &localColumns));
  Check(MatGetSize(A, &globalRows, &globalColumns));
  Check(MatCreateShell(c.comm, localRows, localColumns, globalRows, globalColumns, &products, &shell));
  Check(MatShellSetOperation(shell, MATOP_MULT, reinterpret_cast<void (*)(void)>(MultiplyBlocks)));
  return true;
}

// The shell operations of a RowView: y = A·x or Aᵀ·x, and with "+ z".
template <bool Transposed>
PetscErrorCode MultiplyRows(Mat S, Vec x, Vec y) {
  void* context = nullptr;
  PetscCall(MatShellGetContext(S, &context));
  const CompressedRows& rows = static_cast<const RowView*>(context)->Products();
  const PetscScalar* in = nullptr;
  PetscScalar* out = nullptr;
  PetscCall(VecGetArrayRead(x, &in));
  PetscCall(VecGetArrayWrite(y, &out));
  if (Transposed)
    rows.MultiplyTransposed(in, out);
  else
    rows.Multiply(in, out);
  PetscCall(VecRestoreArrayWrite(y, &out));
  PetscCall(VecRestoreArrayRead(x, &in));
  return 0;
}

template <bool Transposed>
PetscErrorCode MultiplyAddRows(Mat S, Vec x, Vec z, Vec y) {
  void* context = nullptr;
  PetscCall(MatShellGetContext(S, &context));
  const CompressedRows& rows = static_cast<const RowView*>(context)->Products();
  const PetscScalar *in = nullptr, *add = nullptr;
  PetscScalar* out = nullptr;
  PetscCall(VecGetArrayRead(x, &in));
  PetscCall(VecGetArray(y, &out));
  if (z != y) PetscCall(VecGetArrayRead(z, &add));
  if (Transposed)
    rows.MultiplyTransposed(in, out, z != y ? add : out);
  else
    rows.Multiply(in, out, z != y ? add : out);
  if (z != y) PetscCall(VecRestoreArrayRead(z, &add));
  PetscCall(VecRestoreArray(y, &out));
  PetscCall(VecRestoreArrayRead(x, &in));
  return 0;
}

// A shell matrix with the products of `view` (which must outlive it).
void MakeRowShell(MPI_Comm comm, Mat A, RowView& view, OwnedMat& shell) {
  PetscInt rows = 0, columns = 0;
  Check(MatGetSize(A, &rows, &columns));
  Check(MatCreateShell(comm, rows, columns, rows, columns, &view, &shell));
  Check(MatShellSetOperation(shell, MATOP_MULT, reinterpret_cast<void (*)(void)>(MultiplyRows<false>)));
  Check(MatShellSetOperation(shell, MATOP_MULT_TRANSPOSE, reinterpret_cast<void (*)(void)>(MultiplyRows<true>)));
  Check(MatShellSetOperation(shell, MATOP_MULT_ADD, reinterpret_cast<void (*)(void)>(MultiplyAddRows<false>)));
  Check(MatShellSetOperation(shell, MATOP_MULT_TRANSPOSE_ADD,
                             reinterpret_cast<void (*)(void)>(MultiplyAddRows<true>)));
}

// The products of multigrid, each level's kept here for the solve: the
// finest level's operator by symmetric blocks; on one process with threads,
// also the coarser levels' operators (but the coarsest, which is factored)
// and the transfers between levels, by compressed rows.
struct LevelProducts {
  std::vector<std::unique_ptr<RowView>> views;
  std::vector<std::unique_ptr<OwnedMat>> shells;

  void ShareLevels(const Context& c, PC pc, Mat finestShell) {
    PetscInt levels = 0;
    Check(PCMGGetLevels(pc, &levels));
    for (PetscInt l = levels - 1; l >= 1; --l) {
      KSP smoother = nullptr;
      Check(PCMGGetSmoother(pc, l, &smoother));
      Mat operatorMat = nullptr, preconditionerMat = nullptr;
      Check(KSPGetOperators(smoother, &operatorMat, &preconditionerMat));
      Mat levelShell = l == levels - 1 ? finestShell : Share(c, preconditionerMat);
      if (levelShell) {
        Check(KSPSetOperators(smoother, levelShell, preconditionerMat));
        Check(PCMGSetResidual(pc, l, PCMGResidualDefault, levelShell));
      }
      if (c.threads == 1) continue;
      Mat interpolation = nullptr;
      Check(PCMGGetInterpolation(pc, l, &interpolation));
      if (Mat transfer = Share(c, interpolation)) {
        Check(PCMGSetInterpolation(pc, l, transfer));
        Check(PCMGSetRestriction(pc, l, transfer));
      }
    }
  }

 private:
  // A's shell, or null when A is not of compressed rows or one thread would gain nothing.
  Mat Share(const Context& c, Mat A) {
    if (c.threads == 1) return nullptr;
    auto view = std::make_unique<RowView>();
    if (!view->Open(A, c.threads)) return nullptr;
    auto shell = std::make_unique<OwnedMat>();
    MakeRowShell(c.comm, A, *view, *shell);
    views.push_back(std::move(view));
    shells.push_back(std::move(shell));
    return *shells.back();
  }
};

// CG with smoothed-aggregation multigrid, the rigid-body modes of the nodes'
// coordinates as its near null space. True when PETSc says it converged.
// Multigrid is built from A; CG and the finest level then multiply by
// BlockProducts, and on one process the coarser levels by LevelProducts, on
// every core.
bool SolveIterative(const Context& c, Mat A, Vec b, Vec x, Vec coordinates, SparseOutcome& outcome) {
  OwnedNullSpace rigid;
  Check(VecSetBlockSize(coordinates, 3));
  Check(MatNullSpaceCreateRigidBody(coordinates, &rigid));
  Check(MatSetNearNullSpace(A, rigid));
  BlockProducts products;
  OwnedMat shell;
  LevelProducts levels;
  const bool useShell = MakeBlockProducts(c, A, b, products, shell);
  OwnedKsp ksp;
  Check(KSPCreate(c.comm, &ksp));
  Check(KSPSetOperators(ksp, useShell ? static_cast<Mat>(shell) : A, A));
  Check(KSPSetType(ksp, KSPCG));
  Check(KSPSetNormType(ksp, KSP_NORM_UNPRECONDITIONED));
  Check(KSPSetTolerances(ksp, IterativeTolerance, 0.0, PETSC_DEFAULT, IterationBudget));
  PC pc = nullptr;
  Check(KSPGetPC(ksp, &pc));
  Check(PCSetType(pc, PCGAMG));
  // On one process, a model of moderate size has multigrid form its coarse
  // operators through the explicit transpose (Pᵀ·A·P as (Pᵀ)·A·P). Measured on
  // the cantilevers: at 107,163 degrees of freedom the set-up takes 0.6 s
  // instead of 0.9 s, for 300 MB of peak memory instead of 200 MB; at
  // 1,022,028 it gains nothing and costs a gigabyte. PETSc has no such
  // product on many processes.
  struct ProductChoice {
    bool set = false;
    ~ProductChoice() {
      if (set) PetscOptionsClearValue(nullptr, "-matptap_via");  // for this solve only
    }
  } product;
  PetscBool chosen = PETSC_FALSE;
  Check(PetscOptionsHasName(nullptr, nullptr, "-matptap_via", &chosen));
  if (c.size == 1 && c.model.DofCount() <= ExplicitTransposeDofs && !chosen) {
    Check(PetscOptionsSetValue(nullptr, "-matptap_via", "rap"));
    product.set = true;
  }
  // PETSC_OPTIONS in the environment may tune the solver further, as in any PETSc program.
  Check(KSPSetFromOptions(ksp));
  if (useShell) {
    // Multigrid is built from A as PETSc builds it; its products then become ours.
    Check(KSPSetUp(ksp));
    PetscBool multigrid = PETSC_FALSE;
    Check(PetscObjectTypeCompare(reinterpret_cast<PetscObject>(pc), PCGAMG, &multigrid));
    if (multigrid) levels.ShareLevels(c, pc, shell);
  }
  Monitor monitor{c.Report()};
  Check(KSPMonitorSet(ksp, ReportIteration, &monitor, nullptr));
  Check(VecSet(x, 0.0));
  Check(KSPSolve(ksp, b, x));
  KSPConvergedReason reason;
  PetscInt iterations = 0;
  Check(KSPGetConvergedReason(ksp, &reason));
  Check(KSPGetIterationNumber(ksp, &iterations));
  outcome.iterations = static_cast<int>(iterations);
  const Residual residual = ResidualOf(A, b, x);
  outcome.residual = residual.relative;
  if (Progress* p = c.Report())
    p->Update("iteracja " + std::to_string(iterations) + Format(", residuum %.1e", outcome.residual));
  return reason > 0 && residual.backward <= AcceptableBackwardError;
}

enum class DirectResult { Solved, Failed, TooLarge };

// Sparse LDLᵀ through MUMPS (symmetric, with pivoting): the inertia then
// tells whether the matrix was positive definite, which a sound model's is.
// The factor's memory is MUMPS's own estimate after the analysis, checked
// against the memory available before the factorisation starts.
DirectResult SolveDirect(const Context& c, Mat A, Vec b, Vec x, double& neededMb, double& availableMb) {
  Check(MatSetOption(A, MAT_SPD, PETSC_FALSE));
  Check(MatSetOption(A, MAT_SYMMETRIC, PETSC_TRUE));
  OwnedMat F;
  Check(MatGetFactor(A, MATSOLVERMUMPS, MAT_FACTOR_CHOLESKY, &F));
  // The inertia needs the null pivots counted (at MUMPS's own threshold, a
  // few units of rounding of the matrix's norm) and, on many processes, the
  // root of the elimination tree on one.
  Check(MatMumpsSetIcntl(F, 24, 1));
  if (c.size > 1) Check(MatMumpsSetIcntl(F, 13, 1));
  OwnedIs rows, columns;
  Check(MatGetOrdering(A, MATORDERINGNATURAL, &rows, &columns));
  MatFactorInfo info;
  Check(MatFactorInfoInitialize(&info));
  Check(MatCholeskyFactorSymbolic(F, A, rows, &info));
  MatFactorError error = MAT_FACTOR_NOERROR;
  Check(MatFactorGetError(F, &error));
  if (error != MAT_FACTOR_NOERROR) return DirectResult::Failed;
  PetscInt totalMb = 0;
  Check(MatMumpsGetInfog(F, 17, &totalMb));
  double available = c.rank == 0 ? AvailableMegabytes() : 0;
  MPI_Bcast(&available, 1, MPI_DOUBLE, 0, c.comm);
  neededMb = static_cast<double>(totalMb);
  availableMb = available;
  if (neededMb > DirectMemoryShare * available) return DirectResult::TooLarge;

  Check(MatCholeskyFactorNumeric(F, A, &info));
  Check(MatFactorGetError(F, &error));
  if (error != MAT_FACTOR_NOERROR) return DirectResult::Failed;
  PetscInt negative = 0, zero = 0, positive = 0;
  Check(MatGetInertia(F, &negative, &zero, &positive));
  if (negative > 0 || zero > 0) return DirectResult::Failed;
  Check(MatSolve(F, b, x));
  return DirectResult::Solved;
}

// The solution on the first process in the model's numbering, prescribed
// values exact; displacements are empty elsewhere.
std::vector<double> GatherDisplacements(const Context& c, Vec x) {
  OwnedScatter scatter;
  OwnedVec all;
  Check(VecScatterCreateToZero(x, &scatter, &all));
  Check(VecScatterBegin(scatter, x, all, INSERT_VALUES, SCATTER_FORWARD));
  Check(VecScatterEnd(scatter, x, all, INSERT_VALUES, SCATTER_FORWARD));
  std::vector<double> u;
  if (c.rank != 0) return u;
  const PetscScalar* v = nullptr;
  Check(VecGetArrayRead(all, &v));
  const SolidModel& m = c.model;
  u.assign(static_cast<std::size_t>(m.DofCount()) + 1, 0.0);
  for (std::int32_t n = 1; n <= m.NodeCount(); ++n)
    for (int k = 1; k <= 3; ++k) u[DofOf(n, k)] = v[3 * static_cast<std::size_t>(c.parts.NodeIndex[n]) + k - 1];
  Check(VecRestoreArrayRead(all, &v));
  // The same mean as OwnSupports, over the whole model.
  std::vector<double> sum(u.size(), 0.0);
  std::vector<int> count(u.size(), 0);
  for (std::int32_t j = 1; j <= m.SupportCount(); ++j) {
    const std::int32_t d = m.Supports[j].dof;
    sum[d] += m.Supports[j].value;
    ++count[d];
  }
  for (std::size_t d = 1; d < u.size(); ++d)
    if (count[d] > 0) u[d] = sum[d] / count[d];
  return u;
}

// On the first process: the stored displacements and stresses, or the cause line of the first result that
// cannot be stored (empty on success).
std::string StoreResults(const SolidModel& m, const std::vector<double>& u, SolidResults& results) {
  results.Displacements.assign(u.size(), 0.0f);
  for (std::size_t d = 1; d < u.size(); ++d) {
    results.Displacements[d] = CleanSmall(u[d]);
    if (!std::isfinite(results.Displacements[d])) return DisplacementOutOfRangeDetail(static_cast<int>(d));
  }
  results.Stresses.assign(static_cast<std::size_t>(m.ElementCount()) + 1, StressRow{});
  for (std::int32_t e = 1; e <= m.ElementCount(); ++e) {
    double stress[8];
    if (!ElementStressesOf(m, u, e, stress)) return StressFailureDetail(e);
    StoredStresses(stress, results.Stresses[e]);
    for (int k = 1; k <= 7; ++k)
      if (!std::isfinite(results.Stresses[e][k])) return StressOutOfRangeDetail(e);
  }
  return {};
}

// The first process's verdict and cause line, given to every process.
void ShareOutcome(const Context& c, SparseOutcome& outcome) {
  int flags[2] = {outcome.succeeded ? 1 : 0, outcome.fellBackToDirect ? 1 : 0};
  MPI_Bcast(flags, 2, MPI_INT, 0, c.comm);
  outcome.succeeded = flags[0] != 0;
  outcome.fellBackToDirect = flags[1] != 0;
  for (std::string* text : {&outcome.message.detail, &outcome.notice}) {
    int length = static_cast<int>(text->size());
    MPI_Bcast(&length, 1, MPI_INT, 0, c.comm);
    text->resize(length);
    if (length > 0) MPI_Bcast(text->data(), length, MPI_CHAR, 0, c.comm);
  }
  if (!outcome.succeeded) {
    const std::string detail = outcome.message.detail;
    outcome.message = ComputationFailedMessage();
    outcome.message.detail = detail;
  }
}

SparseOutcome Solve(Context& c, SolidResults& results) {
  SparseOutcome outcome;
  outcome.message = ComputationFailedMessage();
  const SolidModel& m = c.model;
  // The batch checks the references on reading; a model built in code might not have them.
  if (!ReferencesInRange(m, m.MaterialCount())) return outcome;
  c.parts = DistributeModel(m, c.size);
  c.first = c.parts.FirstIndex[c.rank];
  c.owned = c.parts.FirstIndex[c.rank + 1] - c.first;
  c.threads = c.size == 1 ? omp_get_max_threads() : 1;

  if (Progress* p = c.Report()) p->BeginStage("Składanie");
  OwnedMat A;
  Check(MatCreate(c.comm, &A));
  Check(MatSetSizes(A, 3 * c.owned, 3 * c.owned, PETSC_DETERMINE, PETSC_DETERMINE));
  Check(MatSetType(A, MATAIJ));
  Check(MatSetBlockSize(A, 3));
  {
    OwnRows rows;
    BuildStructure(c, rows);
    std::int32_t badMaterial = 0;
    if (const std::int32_t bad = AssembleElements(c, rows, badMaterial)) {
      if (Progress* p = c.Report()) p->EndStage();
      outcome.message.detail = badMaterial > 0
                                   ? MaterialFailureDetail(badMaterial)
                                   : ElementFailureDetail(bad, c.options.useDensities ? m.Densities[bad] : 1.0f);
      return outcome;
    }
    // Structure and values in one call; only the call of the matrix's own type (one process or many) acts.
    Check(MatSeqAIJSetPreallocationCSR(A, rows.rowStart.data(), rows.column.data(), rows.value.data()));
    Check(MatMPIAIJSetPreallocationCSR(A, rows.rowStart.data(), rows.column.data(), rows.value.data()));
  }
  OwnedVec x, b, coordinates, prescribed;
  Check(MatCreateVecs(A, &x, &b));
  Check(VecDuplicate(b, &coordinates));
  Check(VecDuplicate(b, &prescribed));
  FillOwnRows(c, b, coordinates);
  {
    std::vector<PetscInt> rows;
    std::vector<PetscScalar> values;
    OwnSupports(c, rows, values);
    EliminateSupports(A, b, prescribed, rows, values);
  }
  prescribed.Reset();
  Check(MatSetOption(A, MAT_SYMMETRIC, PETSC_TRUE));
  if (Progress* p = c.Report()) p->EndStage();

  if (Progress* p = c.Report()) p->BeginStage("Rozwiązanie");
  bool solved = false;
  bool direct = c.options.solver == SparseSolver::Direct;
  if (!direct) {
    Check(MatSetOption(A, MAT_SPD, PETSC_TRUE));
    solved = SolveIterative(c, A, b, x, coordinates, outcome);
    if (!solved) {
      direct = true;
      outcome.fellBackToDirect = true;
      outcome.notice = "Rozwiązanie iteracyjne nie osiągnęło zbieżności w " + std::to_string(outcome.iterations) +
                       Format(" iteracjach (residuum %.1e); obliczam metodą bezpośrednią.", outcome.residual);
      if (Progress* p = c.Report()) p->Update(outcome.notice);
    }
  }
  coordinates.Reset();
  if (direct) {
    double neededMb = 0, availableMb = 0;
    const DirectResult result = SolveDirect(c, A, b, x, neededMb, availableMb);
    if (result == DirectResult::TooLarge) {
      if (Progress* p = c.Report()) p->EndStage();
      outcome.message.detail = Format(
          "Rozwiązanie bezpośrednie potrzebuje około %.0f MB pamięci, dostępne jest %.0f MB.", neededMb, availableMb);
      if (outcome.fellBackToDirect) outcome.message.detail = outcome.notice + " " + outcome.message.detail;
      return outcome;
    }
    solved = result == DirectResult::Solved;
    if (solved) {
      const Residual residual = ResidualOf(A, b, x);
      outcome.residual = residual.relative;
      solved = residual.backward <= AcceptableBackwardError;
    }
  }
  if (Progress* p = c.Report()) p->EndStage();
  if (!solved) return outcome;

  const std::vector<double> u = GatherDisplacements(c, x);
  A.Reset();
  if (c.rank == 0) {
    if (Progress* p = c.Report()) p->BeginStage("Naprężenia");
    outcome.message.detail = StoreResults(m, u, results);
    if (c.options.solvedDisplacements) *c.options.solvedDisplacements = u;
    outcome.succeeded = outcome.message.detail.empty();
    if (Progress* p = c.Report()) p->EndStage();
  }
  return outcome;
}

// A process started alone, not by a launcher (mpirun, srun), talks only to
// itself. Open MPI then needs no network transport, yet it spends about 0.2 s
// of every run loading them unless told its point-to-point layer; a choice
// the user makes in the environment stands.
void PreferLocalTransport() {
  for (const char* launched : {"OMPI_COMM_WORLD_SIZE", "PMIX_RANK", "PMI_RANK", "PMI_SIZE"})
    if (std::getenv(launched)) return;
  setenv("OMPI_MCA_pml", "ob1", 0);
}

}  // namespace

ParallelSession::ParallelSession(int* /*argc*/, char*** /*argv*/) {
  PreferLocalTransport();
  // The program's own arguments are its own: PETSc reads none of them.
  if (PetscInitializeNoArguments() != 0) throw std::runtime_error("Nie można uruchomić MPI i biblioteki PETSc.");
  // Errors come back as codes, turned into a failed computation here, rather
  // than printed by PETSc.
  PetscPushErrorHandler(PetscReturnErrorHandler, nullptr);
  MPI_Comm_rank(PETSC_COMM_WORLD, &rank_);
  MPI_Comm_size(PETSC_COMM_WORLD, &size_);
}

ParallelSession::~ParallelSession() { PetscFinalize(); }

SparseOutcome SolveSparse(const SolidModel& model, const SparseOptions& options, SolidResults& results) {
  Context c(model, options);
  MPI_Comm_rank(c.comm, &c.rank);
  MPI_Comm_size(c.comm, &c.size);
  SparseOutcome outcome;
  try {
    outcome = Solve(c, results);
  } catch (const PetscFailure&) {
    outcome = SparseOutcome{};
    outcome.message = ComputationFailedMessage();
  } catch (const std::bad_alloc&) {
    outcome = SparseOutcome{};
    outcome.message = ComputationFailedMessage();
    outcome.message.detail = "Brak pamięci na obliczenia.";
  }
  ShareOutcome(c, outcome);
  if (!outcome.succeeded) results = SolidResults{};
  return outcome;
}

}  // namespace qor
