#include <gtest/gtest.h>
#include <petscsys.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numeric>
#include <random>
#include <vector>

#include "analysis/BlockMesh.h"
#include "analysis/ComputeCommand.h"
#include "analysis/ModelFamilies.h"
#include "analysis/SolverWorkspace.h"
#include "sparse/LargeCantilever.h"
#include "solid/SolidElements.h"
#include "sparse/SparseSolve.h"
#include "sparse/ThreadedProducts.h"

namespace {

using namespace qor;
using namespace qortest;

SolidModel ModelOf(const ModelStore& s) {
  std::array<float, ElementCapacity + 1> densities;
  densities.fill(1.0f);
  return SolidModelFromStore(s, densities);
}

double Largest(const std::vector<double>& values) {
  double m = 0;
  for (double v : values) m = std::max(m, std::fabs(v));
  return m;
}

// Both sparse solvers against the band path, numbered along the body and at
// random: every displacement and every stress within 1e-7 of the largest of
// its kind, and the results stored from them as the window stores its own.
TEST(SparseSolve, AgreesWithTheBandPath) {
  const std::vector<ModelFamily> families = DenseReferenceFamilies();
  ModelStore s;
  for (const ModelFamily& family : families) {
    for (unsigned seed : {0u, 5u}) {
      family.build(s);
      if (seed != 0) Renumber(s, RandomPermutation(s.NodeCount, seed));
      s.DofCount = 3 * s.NodeCount;
      SolverWorkspace& ws = TheSolverWorkspace;
      FillWorkspace(s, false, ws);
      SolveModel(ws);
      ASSERT_EQ(ws.Status, SolveOk) << family.what;
      const std::vector<double> band(ws.Rhs.begin(), ws.Rhs.begin() + ws.DofCount + 1);
      double largestStress = 0;
      for (int e = 1; e <= ws.ElementCount; ++e)
        for (int k = 1; k <= 7; ++k) largestStress = std::max(largestStress, std::fabs(ws.ElementStresses[e][k]));
      const double largestU = Largest(band);

      for (SparseSolver solver : {SparseSolver::Direct, SparseSolver::Iterative}) {
        const char* name = solver == SparseSolver::Direct ? "direct" : "iterative";
        SparseOptions options;
        options.solver = solver;
        std::vector<double> u;
        options.solvedDisplacements = &u;
        SolidResults results;
        const SparseOutcome outcome = SolveSparse(ModelOf(s), options, results);
        ASSERT_TRUE(outcome.succeeded) << family.what << ", " << name << ": " << outcome.message.detail;
        EXPECT_FALSE(outcome.fellBackToDirect) << family.what << ", " << name;
        ASSERT_EQ(u.size(), band.size());
        ASSERT_EQ(results.Stresses.size(), static_cast<std::size_t>(s.ElementCount) + 1);
        for (int d = 1; d <= s.DofCount; ++d) {
          EXPECT_NEAR(u[d], band[d], 1e-7 * largestU)
              << family.what << ", " << name << ", seed " << seed << ", dof " << d;
          EXPECT_EQ(results.Displacements[d], CleanSmall(u[d]));
        }
        const SolidModel model = ModelOf(s);
        for (int e = 1; e <= s.ElementCount; ++e) {
          double stress[8];
          ASSERT_TRUE(ElementStressesOf(model, u, e, stress));
          StressRow stored{};
          StoredStresses(stress, stored);
          for (int k = 1; k <= 7; ++k) {
            EXPECT_NEAR(stress[k], ws.ElementStresses[e][k], 1e-7 * largestStress)
                << family.what << ", " << name << ", seed " << seed << ", element " << e << ", " << k;
            EXPECT_EQ(results.Stresses[e][k], stored[k]) << family.what << ", element " << e;
          }
        }
      }
    }
  }
}

// What the sparse path cannot compute is a failed computation with the
// band path's cause line, and no results, on both solvers.
TEST(SparseSolve, RefusesWhatItCannotCompute) {
  struct Case {
    const char* what;
    std::function<void(SolidModel&)> spoil;
    bool useDensities;
    const char* detail;  // nullptr: any cause
  };
  const Case cases[] = {
      {"two corners in one node", [](SolidModel& m) { m.Elements[5].node[3] = m.Elements[5].node[1]; }, false,
       "Element 5 ma zerową objętość: jego węzły leżą w jednej płaszczyźnie."},
      {"two flat elements far apart: the first is named",
       [](SolidModel& m) {
         m.Elements[40].node[3] = m.Elements[40].node[1];
         m.Elements[7].node[4] = m.Elements[7].node[2];
       },
       false, "Element 7 ma zerową objętość: jego węzły leżą w jednej płaszczyźnie."},
      {"negative density", [](SolidModel& m) { m.Densities[4] = -1.0f; }, true,
       "Element 4 ma ujemną lub niepoprawną gęstość z pliku."},
      {"nu = 0.5", [](SolidModel& m) { m.Materials[1].nu = 0.5f; }, false,
       "Materiał 1 ma niepoprawne stałe: moduł Younga E musi być dodatni, a współczynnik Poissona ni większy od -1 i "
       "mniejszy od 0,5."},
      {"held at one node only",
       [](SolidModel& m) {
         m.Supports.resize(4);
         for (int c = 1; c <= 3; ++c) m.Supports[c] = {DofOf(1, c), 0};
       },
       false, nullptr},
      {"a node that does not exist", [](SolidModel& m) { m.Elements[3].node[2] = m.NodeCount() + 1; }, false, ""},
      {"a support beyond the last node", [](SolidModel& m) { m.Supports[2].dof = m.DofCount() + 1; }, false, ""},
      {"a force beyond the floats", [](SolidModel& m) { m.Forces[m.DofCount()] = 3e38f; }, false,
       "Przemieszczenie węzła 10 w kierunku x przekracza zakres liczb."},
  };
  ModelStore s;
  BuildCantilever(s, 6, 2, 2, 1.0f, 1.0f, 0, 1e-3f);
  for (const Case& c : cases) {
    for (SparseSolver solver : {SparseSolver::Direct, SparseSolver::Iterative}) {
      SolidModel model = ModelOf(s);
      c.spoil(model);
      SparseOptions options;
      options.solver = solver;
      options.useDensities = c.useDensities;
      SolidResults results;
      results.Displacements.assign(7, 1.0f);
      const SparseOutcome outcome = SolveSparse(model, options, results);
      EXPECT_FALSE(outcome.succeeded) << c.what;
      EXPECT_EQ(outcome.message.text, "Błąd podczas obliczeń") << c.what;
      if (c.detail) {
        EXPECT_EQ(outcome.message.detail, c.detail) << c.what;
      }
      EXPECT_LE(results.Displacements.size(), 1u) << c.what;
    }
  }
}

// CG stopped short of its tolerance (an iteration budget of 3, through
// PETSc's options as a user may set them) is never taken for an answer: the
// direct solver gives it, and the notice says so.
TEST(SparseSolve, UnconvergedIterationsFallBackToDirect) {
  ModelStore s;
  BuildCantilever(s, 20, 2, 2, 1.0f, 1.0f);
  const SolidModel model = ModelOf(s);
  std::vector<double> direct, fallen;
  SparseOptions options;
  options.solver = SparseSolver::Direct;
  options.solvedDisplacements = &direct;
  SolidResults results;
  ASSERT_TRUE(SolveSparse(model, options, results).succeeded);
  ASSERT_EQ(PetscOptionsSetValue(nullptr, "-ksp_max_it", "3"), 0);
  options.solver = SparseSolver::Iterative;
  options.solvedDisplacements = &fallen;
  const SparseOutcome outcome = SolveSparse(model, options, results);
  PetscOptionsClearValue(nullptr, "-ksp_max_it");
  ASSERT_TRUE(outcome.succeeded);
  EXPECT_TRUE(outcome.fellBackToDirect);
  EXPECT_EQ(outcome.iterations, 3);
  EXPECT_NE(outcome.notice.find("nie osiągnęło zbieżności w 3 iteracjach"), std::string::npos) << outcome.notice;
  ASSERT_EQ(fallen.size(), direct.size());
  for (std::size_t d = 1; d < direct.size(); ++d) EXPECT_NEAR(fallen[d], direct[d], 1e-12 * Largest(direct)) << d;
}

// Under mpirun (make test runs it on two processes): the solve shared by
// every process against the first process alone, both solvers, on a
// cantilever of two materials with a prescribed end displacement and nodes
// numbered at random, so that every process owns scattered node numbers.
// Every displacement and every stress (in double: the stored floats could not
// show it) within 1e-8 of the largest of its kind.
TEST(SparseSolve, ManyProcessesAgreeWithOne) {
  int rank = 0, size = 1;
  MPI_Comm_rank(PETSC_COMM_WORLD, &rank);
  MPI_Comm_size(PETSC_COMM_WORLD, &size);
  if (size == 1) GTEST_SKIP() << "one process: run under mpirun";
  ModelStore s;
  BuildCantilever(s, 20, 3, 3, 0.5f, 2.0f);
  s.Materials[++s.MaterialCount] = {50000.0f, 0.25f};
  for (int e = 1; e <= s.ElementCount; ++e)
    if (s.Nodes[s.Elements[e].node[1]].z >= 1.0f) s.Elements[e].material = 2;
  for (int n : NodesWhere(s, 0, 10.0f))
    if (s.Nodes[n].z == 0.0f) AddSupport(s, n, 1, 1);
  Renumber(s, RandomPermutation(s.NodeCount, 17));
  const SolidModel model = ModelOf(s);
  auto solve = [&](SparseSolver solver, std::vector<double>& u, std::vector<double>& stresses) {
    SparseOptions options;
    options.solver = solver;
    options.solvedDisplacements = &u;
    SolidResults results;
    const SparseOutcome outcome = SolveSparse(model, options, results);
    ASSERT_TRUE(outcome.succeeded);
    EXPECT_FALSE(outcome.fellBackToDirect);
    double stress[8];
    for (std::int32_t e = 1; e <= model.ElementCount() && rank == 0; ++e) {
      ASSERT_TRUE(ElementStressesOf(model, u, e, stress));
      stresses.insert(stresses.end(), stress + 1, stress + 8);
    }
  };
  for (SparseSolver solver : {SparseSolver::Direct, SparseSolver::Iterative}) {
    std::vector<double> u, stresses, uAlone, stressesAlone;
    solve(solver, u, stresses);
    if (rank != 0) continue;
    const MPI_Comm world = PETSC_COMM_WORLD;  // PETSc's objects on this process's own communicator
    PETSC_COMM_WORLD = PETSC_COMM_SELF;
    solve(solver, uAlone, stressesAlone);
    PETSC_COMM_WORLD = world;
    ASSERT_EQ(u.size(), uAlone.size());
    ASSERT_EQ(stresses.size(), stressesAlone.size());
    for (std::size_t d = 1; d < u.size(); ++d) EXPECT_NEAR(u[d], uAlone[d], 1e-8 * Largest(uAlone)) << d;
    for (std::size_t i = 0; i < stresses.size(); ++i)
      EXPECT_NEAR(stresses[i], stressesAlone[i], 1e-8 * Largest(stressesAlone)) << "element " << i / 7 + 1;
  }
}

// A cantilever 10 × 1 × 1, E = 200000, nu = 0.3, clamped at x = 0, 100 in
// -z over the end face: the largest tip deflection against the beam formula
// P·L³/(3EI) = 2 (I = 1/12), which the shear flexibility and the stiffness of
// linear tetrahedra keep it from reaching, and at 80 × 20 × 20 cells (107,163
// degrees of freedom) the deflection the sparse Cholesky and the reference
// program give to seven digits. The coarser mesh must be the stiffer one.
TEST(SparseSolve, LargeCantileverApproachesTheBeamFormula) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "1e5 degrees of freedom: release build only";
#endif
  const double beam = 100.0 * 1000.0 / (3.0 * 200000.0 / 12.0);
  double coarser = 0;
  for (int n : {10, 20}) {
    const SolidModel m = BuildSolidCantilever(4 * n, n, n, 10.0f, 1.0f, 200000.0f, 0.3f, 100.0f);
    SparseOptions options;
    options.solver = SparseSolver::Iterative;
    SolidResults results;
    const SparseOutcome outcome = SolveSparse(m, options, results);
    ASSERT_TRUE(outcome.succeeded) << n << ": " << outcome.message.detail;
    EXPECT_FALSE(outcome.fellBackToDirect) << n;
    const double tip = TipDeflection(m, results.Displacements, 10.0f);
    if (n == 20) {
      EXPECT_NEAR(tip, -1.947589, 1e-6 * 1.947589);
    } else {
      coarser = tip;
    }
    EXPECT_GT(-tip / beam, 0.9) << n;
    EXPECT_LT(-tip / beam, 1.0) << n;
  }
  EXPECT_GT(coarser, -1.947589);
}

// The threaded products against plain loops over a dense copy, on random
// sparse matrices (rows without neighbours included) and thread counts from
// one to more than the rows; and the structures the symmetric form refuses.
TEST(ThreadedProducts, MatchPlainLoops) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> value(-1.0, 1.0);
  for (const int blockRows : {1, 2, 9, 40}) {
    // A symmetric matrix of 3×3 blocks with a random pattern, in compressed scalar rows.
    const int n = 3 * blockRows;
    std::vector<double> dense(static_cast<std::size_t>(n) * n, 0.0);
    std::vector<bool> linked(static_cast<std::size_t>(blockRows) * blockRows, false);
    for (int I = 0; I < blockRows; ++I)
      for (int J = I; J < blockRows; ++J)
        if (I == J || random() % 4 == 0) linked[I * blockRows + J] = linked[J * blockRows + I] = true;
    for (int i = 0; i < n; ++i)
      for (int j = i; j < n; ++j)
        if (linked[(i / 3) * blockRows + j / 3]) dense[i * n + j] = dense[j * n + i] = value(random);
    std::vector<std::int64_t> start{0};
    std::vector<std::int32_t> column;
    std::vector<double> entries;
    for (int i = 0; i < n; ++i) {
      for (int j = 0; j < n; ++j)
        if (linked[(i / 3) * blockRows + j / 3]) {
          column.push_back(j);
          entries.push_back(dense[i * n + j]);
        }
      start.push_back(static_cast<std::int64_t>(column.size()));
    }
    const std::vector<std::int32_t> start32(start.begin(), start.end());
    std::vector<double> x(n), z(n), expected(n, 0.0), transposedExpected(n, 0.0);
    for (double& v : x) v = value(random);
    for (double& v : z) v = value(random);
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j) {
        expected[i] += dense[i * n + j] * x[j];
        transposedExpected[j] += dense[i * n + j] * x[i];
      }
    SymmetricBlocks blocks;
    ASSERT_TRUE(blocks.Build(n, start.data(), column.data(), entries.data())) << blockRows;
    for (const int threads : {1, 2, 3, 64}) {
      for (const ProductKernel kernel : {ProductKernel::Plain, ProductKernel::Avx2Fma}) {
        if (!ProductKernelAvailable(kernel)) continue;
        std::vector<double> y(n, 99.0);
        blocks.Multiply(x.data(), y.data(), threads, kernel);
        for (int i = 0; i < n; ++i)
          EXPECT_NEAR(y[i], expected[i], 1e-13) << blockRows << " blocks, " << threads << " threads, kernel "
                                                << static_cast<int>(kernel) << ", row " << i;
      }
      const CompressedRows rows(n, n, start32.data(), column.data(), entries.data(), threads);
      std::vector<double> r(n, 99.0), t(n, 99.0), added = z;
      rows.Multiply(x.data(), r.data());
      rows.MultiplyTransposed(x.data(), t.data());
      rows.MultiplyTransposed(x.data(), added.data(), added.data());
      for (int i = 0; i < n; ++i) {
        EXPECT_NEAR(r[i], expected[i], 1e-13) << blockRows << " blocks, " << threads << " threads, row " << i;
        EXPECT_NEAR(t[i], transposedExpected[i], 1e-13) << blockRows << ", " << threads << ", row " << i;
        EXPECT_NEAR(added[i], transposedExpected[i] + z[i], 1e-13) << blockRows << ", " << threads << ", " << i;
      }
    }
    if (blockRows < 2) continue;
    struct Spoil {
      const char* what;
      std::function<void(std::vector<std::int32_t>&, std::vector<double>&)> apply;
    };
    const Spoil spoils[] = {
        {"one entry off its mirror by a unit of rounding",
         [](std::vector<std::int32_t>&, std::vector<double>& v) { v[1] = std::nextafter(v[1], 2.0); }},
        {"a column outside its triple", [](std::vector<std::int32_t>& c, std::vector<double>&) { c[1] = c[0]; }},
        {"the rows of a triple unlike", [&](std::vector<std::int32_t>& c, std::vector<double>&) {
           std::swap(c[start[1]], c[start[1] + 1]);
         }}};
    for (const Spoil& spoil : spoils) {
      std::vector<std::int32_t> badColumn = column;
      std::vector<double> badEntries = entries;
      spoil.apply(badColumn, badEntries);
      EXPECT_FALSE(blocks.Build(n, start.data(), badColumn.data(), badEntries.data())) << spoil.what;
    }
  }
  SymmetricBlocks blocks;
  const std::int64_t start[] = {0, 1, 2};
  const std::int32_t column[] = {0, 1};
  const double entries[] = {1.0, 1.0};
  EXPECT_FALSE(blocks.Build(2, start, column, entries)) << "rows not in triples";
  // Block (0, 1) without its mirror (1, 0): the pattern itself is not symmetric.
  std::vector<std::int64_t> oneSided{0};
  std::vector<std::int32_t> oneSidedColumn;
  for (int i = 0; i < 6; ++i) {
    for (int j = i < 3 ? 0 : 3; j < 6; ++j) oneSidedColumn.push_back(j);
    oneSided.push_back(static_cast<std::int64_t>(oneSidedColumn.size()));
  }
  const std::vector<double> ones(oneSidedColumn.size(), 1.0);
  EXPECT_FALSE(blocks.Build(6, oneSided.data(), oneSidedColumn.data(), ones.data())) << "a block without its mirror";
}

}  // namespace
