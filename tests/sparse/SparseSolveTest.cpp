#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numeric>
#include <vector>

#include "analysis/BlockMesh.h"
#include "analysis/ComputeCommand.h"
#include "analysis/ModelFamilies.h"
#include "analysis/SolverWorkspace.h"
#include "sparse/Distribution.h"
#include "sparse/LargeCantilever.h"
#include "sparse/SparseSolve.h"

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
  std::vector<ModelFamily> families = DenseReferenceFamilies();
  families.push_back({"one tetrahedron held at three corners", [](ModelStore& s) {
                        BuildBlockMesh(s, {}, 1, 1, 1, 1000.0f, 0.3f);
                        const float p[5][3] = {{}, {2, 0, 0}, {0, 2, 0}, {0, 0, 2}, {0, 0, 0}};
                        for (int n = 1; n <= 4; ++n) s.Nodes[n] = {p[n][0], p[n][1], p[n][2]};
                        s.NodeCount = s.ElementCount = 1 + 3;
                        s.ElementCount = 1;
                        for (int a = 1; a <= 4; ++a) s.Elements[1].node[a] = a;
                        s.Elements[1].material = 1;
                        for (int n = 1; n <= 3; ++n)
                          for (int c = 1; c <= 3; ++c) AddSupport(s, n, c);
                        s.Forces[DofOf(4, 1)] = -1.0f;
                        s.Forces[DofOf(4, 3)] = 2.0f;
                      }});
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
        for (int e = 1; e <= s.ElementCount; ++e) {
          double ue[13], stress[8];
          for (int a = 1; a <= 4; ++a)
            for (int k = 1; k <= 3; ++k) ue[3 * (a - 1) + k] = u[DofOf(s.Elements[e].node[a], k)];
          ASSERT_TRUE(ElementStresses(CornersOf(ws, e), ws.MaterialE[s.Elements[e].material],
                                      ws.MaterialNu[s.Elements[e].material], ue, stress));
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

// The split among processes: every node in exactly one contiguous range,
// every element of a process touching only nodes of that process or of a
// lower one, and the elements shared out evenly.
TEST(SparseSolve, DistributionGivesEachProcessOneRange) {
  ModelStore s;
  BuildCantilever(s, 12, 2, 3, 1.0f, 1.0f);
  Renumber(s, RandomPermutation(s.NodeCount, 3));
  const SolidModel model = ModelOf(s);
  for (int ranks : {1, 2, 3, 5}) {
    const Distribution d = DistributeModel(model, ranks);
    ASSERT_EQ(d.FirstIndex.size(), static_cast<std::size_t>(ranks) + 1);
    EXPECT_EQ(d.FirstIndex.back(), model.NodeCount());
    std::vector<int> seen(model.NodeCount(), 0);
    for (int n = 1; n <= model.NodeCount(); ++n) ++seen.at(d.NodeIndex[n]);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), model.NodeCount()) << ranks;
    std::vector<int> perRank(ranks, 0);
    for (int e = 1; e <= model.ElementCount(); ++e) {
      const int r = d.ElementRank[e];
      ++perRank.at(r);
      for (int a = 1; a <= 4; ++a) EXPECT_LT(d.NodeIndex[model.Elements[e].node[a]], d.FirstIndex[r + 1]) << e;
    }
    for (int r = 0; r < ranks; ++r) EXPECT_NEAR(perRank[r], model.ElementCount() / double(ranks), 1.0) << r;
  }
}

// A cantilever 10 × 1 × 1, E = 200000, nu = 0.3, clamped at x = 0, 100 in
// -z over the end face: the largest tip deflection against the beam formula
// P·L³/(3EI) = 2 (I = 1/12), which the shear flexibility and the stiffness of
// linear tetrahedra keep it from reaching, and at 80 × 20 × 20 cells (107,163
// degrees of freedom) the deflection every solver of this size agrees on to
// seven digits. The coarser mesh must be the stiffer one.
TEST(SparseSolve, LargeCantileverApproachesTheBeamFormula) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "1e5 degrees of freedom: release build only";
#endif
  const double beam = 100.0 * 1000.0 / (3.0 * 200000.0 / 12.0);
  double coarser = 0;
  for (int n : {10, 20}) {
    const SolidModel m = BuildSolidCantilever(4 * n, n, n, 10.0f, 1.0f, 200000.0f, 0.3f, 100.0f);
    for (SparseSolver solver : {SparseSolver::Iterative, SparseSolver::Direct}) {
      if (n == 10 && solver == SparseSolver::Direct) continue;
      SparseOptions options;
      options.solver = solver;
      SolidResults results;
      const SparseOutcome outcome = SolveSparse(m, options, results);
      ASSERT_TRUE(outcome.succeeded) << n << ": " << outcome.message.detail;
      const double tip = TipDeflection(m, results.Displacements, 10.0f);
      if (n == 20) {
        EXPECT_NEAR(tip, -1.947589, 1e-6 * 1.947589) << (solver == SparseSolver::Direct ? "direct" : "iterative");
      } else {
        coarser = tip;
      }
      EXPECT_GT(-tip / beam, 0.9) << n;
      EXPECT_LT(-tip / beam, 1.0) << n;
    }
  }
  EXPECT_GT(coarser, -1.947589);
}

}  // namespace
