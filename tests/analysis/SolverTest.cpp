#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <numeric>
#include <vector>

#include "analysis/BlockMesh.h"
#include "analysis/ComputeCommand.h"
#include "analysis/DenseReference.h"
#include "analysis/LiteralSolver.h"
#include "analysis/ModelFamilies.h"
#include "analysis/SolverWorkspace.h"
#include "solid/Rigidity.h"

namespace {

using namespace qor;
using namespace qortest;

SolverWorkspace& ws = TheSolverWorkspace;

// Copies the model into the workspace and solves it.
int Solve(ModelStore& s) {
  s.DofCount = 3 * s.NodeCount;
  FillWorkspace(s, false, ws);
  SolveModel(ws);
  return ws.Status;
}

std::vector<double> Displacements() {
  return std::vector<double>(ws.Rhs.begin() + 1, ws.Rhs.begin() + 1 + ws.DofCount);
}

// Copies the model into the workspace and assembles its band with the loads as
// right-hand side, stopping before the elimination.
bool CopyInAndAssemble(ModelStore& s) {
  s.DofCount = 3 * s.NodeCount;
  FillWorkspace(s, false, ws);
  ws.DofCount = 3 * ws.NodeCount;
  for (int d = 1; d <= ws.DofCount; ++d) ws.Rhs[d] = ws.Loads[d];
  ws.HalfBandwidth = ComputeHalfBandwidth(ws);
  return AssembleBand(ws);
}

// A bar 4 × 1 × 1 (divided 4 × 2 × 2) pulled at x = 4 by P = 12, face x = 0
// held in x, the corner at the origin in y and z and one more in z.
void BuildTensionBar(ModelStore& s, float P) {
  BuildBlockMesh(s, BoxCells(4, 2, 2), 1.0f, 0.5f, 0.5f, 1000.0f, 0.3f);
  for (int n : NodesWhere(s, 0, 0.0f)) {
    AddSupport(s, n, 1);
    if (s.Nodes[n].y == 0 && s.Nodes[n].z == 0) AddSupport(s, n, 2);
    if (s.Nodes[n].z == 0 && (s.Nodes[n].y == 0 || s.Nodes[n].y == 1.0f)) AddSupport(s, n, 3);
  }
  // Every end-face triangle gives a third of its share of P to each corner.
  for (int e = 1; e <= s.ElementCount; ++e) {
    std::vector<int> onEnd;
    for (int a = 1; a <= 4; ++a)
      if (s.Nodes[s.Elements[e].node[a]].x == 4.0f) onEnd.push_back(s.Elements[e].node[a]);
    if (onEnd.size() != 3) continue;
    const auto &p = s.Nodes[onEnd[0]], &q = s.Nodes[onEnd[1]], &r = s.Nodes[onEnd[2]];
    const float area = 0.5f * std::fabs((q.y - p.y) * (r.z - p.z) - (q.z - p.z) * (r.y - p.y));
    for (int n : onEnd) s.Forces[DofOf(n, 1)] += P * area / 3.0f;
  }
}

TEST(Solver, HalfBandwidthFollowsTheNodeNumbers) {
  ws.ElementCount = 2;
  ws.ElementNodes[1] = {0, 1, 2, 3, 4};
  ws.ElementNodes[2] = {0, 5, 6, 7, 8};
  EXPECT_EQ(ComputeHalfBandwidth(ws), 12);
  ws.ElementNodes[2] = {0, 1, 2, 3, 100};
  EXPECT_EQ(ComputeHalfBandwidth(ws), 300);
  ws.ElementCount = 0;
  EXPECT_EQ(ComputeHalfBandwidth(ws), 0);
}

TEST(Solver, RefusesBadInputAndNamesTheCulprit) {
  ModelStore s;
  BuildCantilever(s, 2, 1, 1, 1.0f, 1.0f);
  const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    const char* what;
    std::function<void()> spoil;
    int element, material;  // expected FailureElement and FailureMaterial
  };
  const Case cases[] = {
      {"667 nodes", [] { ws.NodeCount = 667; }, 0, 0},
      {"a node that does not exist", [&] { ws.ElementNodes[3][2] = s.NodeCount + 1; }, 0, 0},
      {"a material that does not exist", [] { ws.ElementMaterials[1] = 2; }, 0, 0},
      {"nu = 0.5", [] { ws.MaterialNu[1] = 0.5f; }, 1, 1},
      {"nu = -1", [] { ws.MaterialNu[1] = -1.0f; }, 1, 1},
      {"nu not a number", [&] { ws.MaterialNu[1] = nan; }, 1, 1},
      {"E = 0", [] { ws.MaterialE[1] = 0.0f; }, 1, 1},
      {"E < 0", [] { ws.MaterialE[1] = -200.0f; }, 1, 1},
      {"E infinite", [&] { ws.MaterialE[1] = inf; }, 1, 1},
      {"negative density", [] { ws.ElementDensities[4] = -1.0f; }, 4, 0},
      {"density not a number", [&] { ws.ElementDensities[4] = nan; }, 4, 0},
      {"two corners in one node", [] { ws.ElementNodes[5][3] = ws.ElementNodes[5][1]; }, 5, 0},
  };
  for (const Case& c : cases) {
    ws.BandAt(1, 1) = 42.0;
    FillWorkspace(s, false, ws);
    c.spoil();
    SolveModel(ws);
    EXPECT_EQ(ws.Status, SolveInputError) << c.what;
    EXPECT_EQ(ws.FailureElement, c.element) << c.what;
    EXPECT_EQ(ws.FailureMaterial, c.material) << c.what;
    if (c.element == 0) {
      EXPECT_EQ(ws.BandAt(1, 1), 42.0) << c.what;
    }
  }
}

TEST(Solver, SingleTetrahedronHeldAtThreeCorners) {
  ModelStore s;
  BuildCornerTetrahedron(s, 1.0f, 1000.0f, 0.0f);
  for (int n = 1; n <= 3; ++n)
    for (int c = 1; c <= 3; ++c) AddSupport(s, n, c);
  s.Forces[DofOf(4, 1)] = -1.0f;  // the corner at the origin is loaded
  ASSERT_EQ(Solve(s), SolveOk);
  // With nu = 0 and G = E/2 the origin corner (shape gradient (-1, -1, -1))
  // has the stiffness V·E/2·[[4,1,1],[1,4,1],[1,1,4]], so u = (-5, 1, 1)/1500.
  EXPECT_NEAR(ws.Rhs[DofOf(4, 1)], -5.0 / 1500.0, 1e-12);
  EXPECT_NEAR(ws.Rhs[DofOf(4, 2)], 1.0 / 1500.0, 1e-12);
  EXPECT_NEAR(ws.Rhs[DofOf(4, 3)], 1.0 / 1500.0, 1e-12);
  for (int d = 1; d <= 9; ++d) EXPECT_LT(std::fabs(ws.Rhs[d]), 1e-12);

  // Large sizes and moduli: L = 1e4, E = 1e6, nu = 0.3, held at the origin
  // and two corners, force (1000, -2000, 3000) at (0, 0, L). Only that corner
  // moves; its shape function is z/L, so εz = uz/L with uz = 6·Fz/(L·(λ + 2μ)),
  // and σx = λ·εz = nu/(1 - nu)·6·Fz/L² = 0.54e-3/7 (a fixed penalty of 1e10
  // gave 4.84e-5).
  BuildCornerTetrahedron(s, 1e4f, 1e6f, 0.3f);
  for (int n : {1, 2, 4})
    for (int c = 1; c <= 3; ++c) AddSupport(s, n, c);
  s.Forces[DofOf(3, 1)] = 1000;
  s.Forces[DofOf(3, 2)] = -2000;
  s.Forces[DofOf(3, 3)] = 3000;
  ASSERT_EQ(Solve(s), SolveOk);
  EXPECT_NEAR(ws.ElementStresses[1][1], 0.54e-3 / 7, 1e-5 * 0.54e-3 / 7);
}

// Every model that can still move, whole or in part, is refused and the
// degree of freedom named is one that can move: numbered along the body and
// at random.
TEST(Solver, EveryMechanismIsRefused) {
  // A bar of 4 × 2 × 2 cells held at x = 0 with a second part of four cells
  // along x from x = 4 that shares with it one node, one edge, a line of two
  // edges, or nothing.
  auto twoParts = [](ModelStore& s, int y, int zFrom, int zTo) {
    std::vector<Cell> cells = BoxCells(4, 2, 2);
    for (int i = 4; i < 8; ++i)
      for (int k = zFrom; k < zTo; ++k) cells.push_back({i, y, k});
    BuildBlockMesh(s, cells, 1, 1, 1);
    FixNodesWhere(s, 0, 0.0f);
  };
  // A bar of cells × 2 × 2 held in all directions at the nodes on one line.
  auto holdOnLine = [](ModelStore& s, int cells, bool (*onLine)(const NodeRow&)) {
    BuildBlockMesh(s, BoxCells(cells, 2, 2), 1, 1, 1);
    for (int n = 1; n <= s.NodeCount; ++n)
      if (onLine(s.Nodes[n]))
        for (int c = 1; c <= 3; ++c) AddSupport(s, n, c);
  };
  auto inSecondPart = [](const NodeRow& p) { return p.x > 4 || p.y > 2 || p.z > 2; };
  auto anywhere = [](const NodeRow&) { return true; };
  struct Family {
    const char* what;
    std::function<void(ModelStore&)> build;
    std::function<bool(const NodeRow&)> movable;
  };
  const Family families[] = {
      {"one node held",
       [](ModelStore& s) {
         BuildBlockMesh(s, BoxCells(4, 2, 2), 1, 1, 1);
         for (int c = 1; c <= 3; ++c) AddSupport(s, 1, c);
         s.Forces[DofOf(s.NodeCount, 3)] = -1;
       },
       anywhere},
      {"supports on one slanted line",
       [&](ModelStore& s) {
         holdOnLine(s, 5, [](const NodeRow& p) { return p.x == p.y && p.y == p.z; });
         s.Forces[DofOf(s.NodeCount, 2)] = -1;
       },
       anywhere},
      {"held along one edge of the body",
       [&](ModelStore& s) { holdOnLine(s, 4, [](const NodeRow& p) { return p.y == 0 && p.z == 0; }); },
       [](const NodeRow& p) { return p.y > 0 || p.z > 0; }},
      {"face x = 0 held in x only",
       [](ModelStore& s) {
         BuildBlockMesh(s, BoxCells(4, 2, 2), 1, 1, 1);
         for (int n : NodesWhere(s, 0, 0.0f)) AddSupport(s, n, 1);
         s.Forces[DofOf(s.NodeCount, 1)] = 1;
       },
       anywhere},
      {"parts joined at one node",
       [&](ModelStore& s) {
         twoParts(s, 2, 2, 3);
         s.Forces[DofOf(s.NodeCount, 3)] = -1;
       },
       inSecondPart},
      {"parts joined along one edge", [&](ModelStore& s) { twoParts(s, 2, 0, 1); }, inSecondPart},
      {"parts joined along a line of nodes",
       [&](ModelStore& s) {
         twoParts(s, 2, 0, 2);
         s.Forces[DofOf(s.NodeCount, 2)] = 1;
       },
       inSecondPart},
      {"a part attached to nothing", [&](ModelStore& s) { twoParts(s, 3, 0, 1); }, inSecondPart},
      {"a node in no element",
       [](ModelStore& s) {
         BuildCantilever(s, 3, 1, 1, 1.0f, 1.0f);
         s.Nodes[++s.NodeCount] = {9, 9, 9};
         AddSupport(s, s.NodeCount, 2);
       },
       [](const NodeRow& p) { return p.x == 9; }},
  };
  ModelStore s;
  for (const Family& family : families) {
    for (unsigned seed : {0u, 7u}) {
      family.build(s);
      if (seed != 0) Renumber(s, RandomPermutation(s.NodeCount, seed));
      ASSERT_EQ(Solve(s), SolveSingular) << family.what << ", seed " << seed;
      const int dof = ws.FailureDof;
      ASSERT_GE(dof, 1) << family.what;
      EXPECT_TRUE(family.movable(s.Nodes[(dof + 2) / 3])) << family.what << ", seed " << seed << ", dof " << dof;
      for (int j = 1; j <= s.SupportCount; ++j) EXPECT_NE(s.Supports[j].dof, dof) << family.what;
      // The sparse path's rigidity check, which judges no pivots, finds the same mechanism.
      const int free = FindFreeMotion(SolidModelFromStore(s, Densities)).dof;
      ASSERT_GE(free, 1) << family.what << ", seed " << seed;
      EXPECT_TRUE(family.movable(s.Nodes[(free + 2) / 3])) << family.what << ", seed " << seed << ", dof " << free;
      for (int j = 1; j <= s.SupportCount; ++j) EXPECT_NE(s.Supports[j].dof, free) << family.what;
    }
  }
}

TEST(Solver, UniaxialTensionPatch) {
  // Pulled by P = 12 (stress P / A), or stretched by a prescribed end
  // displacement of 1 with the face x = 0 held twice over (stress E / L).
  for (const bool prescribed : {false, true}) {
    ModelStore s;
    const double P = 12, E = 1000, A = 1, L = 4, tolerance = 1e-6;
    BuildTensionBar(s, prescribed ? 0.0f : static_cast<float>(P));
    if (prescribed) {
      for (int n : NodesWhere(s, 0, L)) AddSupport(s, n, 1, 1);
      for (int n : NodesWhere(s, 0, 0.0f)) AddSupport(s, n, 1);
    }
    const double stress = prescribed ? E / L : P / A, stretch = stress * L / E;
    ASSERT_EQ(Solve(s), SolveOk);
    for (int e = 1; e <= s.ElementCount; ++e) {
      const auto& sigma = ws.ElementStresses[e];
      EXPECT_NEAR(sigma[1], stress, tolerance * stress) << e;
      for (int k = 2; k <= 6; ++k) EXPECT_NEAR(sigma[k], 0.0, tolerance * stress) << e << " " << k;
      EXPECT_NEAR(sigma[7], stress, tolerance * stress);
    }
    for (int n : NodesWhere(s, 0, L)) EXPECT_NEAR(ws.Rhs[DofOf(n, 1)], stretch, tolerance * stretch);
    for (int n : NodesWhere(s, 0, 0.0f)) EXPECT_NEAR(ws.Rhs[DofOf(n, 1)], 0.0, tolerance * stretch);
    // Lateral contraction by nu at the free corner y = z = 1.
    for (int n : NodesWhere(s, 0, L)) {
      if (s.Nodes[n].y == 1.0f && s.Nodes[n].z == 1.0f) {
        EXPECT_NEAR(ws.Rhs[DofOf(n, 2)], -0.3 * stretch / L, tolerance * stretch);
      }
    }
  }
}

TEST(Solver, RigidTranslationGivesNoStress) {
  ModelStore s;
  BuildBlockMesh(s, BoxCells(2, 2, 1), 1, 1, 1, 1000.0f, 0.3f);
  s.DofCount = 3 * s.NodeCount;
  FillWorkspace(s, false, ws);
  for (int n = 1; n <= s.NodeCount; ++n) {
    ws.Rhs[DofOf(n, 1)] = 0.25;
    ws.Rhs[DofOf(n, 2)] = -2.0;
    ws.Rhs[DofOf(n, 3)] = 1.5;
  }
  ASSERT_TRUE(RecoverStresses(ws));
  for (int e = 1; e <= s.ElementCount; ++e)
    for (int k = 1; k <= 7; ++k) EXPECT_NEAR(ws.ElementStresses[e][k], 0.0, 1e-9);
  // Pure shear τxy = t has reduced stress √3·t; uniaxial p gives |p|.
  EXPECT_DOUBLE_EQ(ReducedStress(0, 0, 0, 0, 0, 2.0), 2.0 * std::sqrt(3.0));
  EXPECT_DOUBLE_EQ(ReducedStress(-5.0, 0, 0, 0, 0, 0), 5.0);
}

// The blocked elimination gives exactly the bits of the plain loops on every
// instruction set this processor executes, for narrow and wide bands (up to
// the full width of the store), numberings along the body and at random, and
// sizes that fill neither the last block nor the last vector.
TEST(Solver, BlockedEliminationMatchesThePlainLoopsBitForBit) {
  auto cantilever = [](int cells, int cy) {
    return [=](ModelStore& s) { BuildCantilever(s, cells, cy, 2, 0.5f, 3.0f); };
  };
  struct Case {
    const char* what;
    std::function<void(ModelStore&)> build;
    unsigned seed;       // renumbered at random unless 0
    bool heavy = false;  // a minute of plain loops in the sanitizer build: left to the release build
  };
  const Case cases[] = {
      {"narrow band", cantilever(5, 1), 0},
      {"narrow band, two cells across", cantilever(12, 2), 0},
      {"at random", cantilever(19, 1), 102},
      {"at random, two cells across", cantilever(26, 2), 103},
      {"wide band, many pivot segments",
       [](ModelStore& s) {
         BuildBlockMesh(s, BoxCells(6, 6, 6), 1, 1, 1);
         for (int n : NodesWhere(s, 2, 0.0f))
           for (int c = 1; c <= 3; ++c) AddSupport(s, n, c);
         s.Forces[DofOf(s.NodeCount, 1)] = 2.0f;
       },
       0},
      {"the full store at random, band near 1998", [](ModelStore& s) { BuildCantilever(s, 73, 2, 2, 1.0f, 1.0f); }, 105,
       true},
      {"nodes in no element, all held",
       [](ModelStore& s) {
         BuildBlockMesh(s, {}, 1, 1, 1);
         for (int n = 1; n <= 5; ++n) s.Nodes[++s.NodeCount] = {1.0f * n, 0, 0};
         for (int n = 1; n <= s.NodeCount; ++n)
           for (int c = 1; c <= 3; ++c) AddSupport(s, n, c, c - 2);
       },
       0},
  };
#ifdef __SANITIZE_ADDRESS__
  const bool sanitizer = true;
#else
  const bool sanitizer = false;
#endif
  ModelStore s;
  for (const Case& c : cases) {
    if (c.heavy && sanitizer) continue;
    c.build(s);
    if (s.NodeCount >= 2) s.Forces[DofOf(s.NodeCount / 2, 1)] = 1.25f;
    if (c.seed != 0) Renumber(s, RandomPermutation(s.NodeCount, c.seed));
    ASSERT_TRUE(CopyInAndAssemble(s));
    const std::vector<double> rhs(ws.Rhs.begin(), ws.Rhs.begin() + ws.DofCount + 1);
    std::vector<double> band(ws.Band.size());
    std::memcpy(band.data(), ws.Band.data(), band.size() * sizeof(double));
    auto restore = [&] {
      std::memcpy(ws.Band.data(), band.data(), band.size() * sizeof(double));
      std::copy(rhs.begin(), rhs.end(), ws.Rhs.begin());
    };

    ASSERT_TRUE(LiteralEliminateAndSolve(ws));
    const std::vector<double> expected = Displacements();
    for (EliminationVariant variant :
         {EliminationVariant::Default, EliminationVariant::Avx2, EliminationVariant::Avx512f}) {
      if (!VariantAvailable(variant)) continue;
      restore();
      ASSERT_TRUE(EliminateBand(ws, variant) && BackSubstitute(ws)) << VariantName(variant);
      const std::vector<double> actual = Displacements();
      ASSERT_EQ(actual.size(), expected.size());
      EXPECT_EQ(std::memcmp(actual.data(), expected.data(), actual.size() * sizeof(double)), 0)
          << VariantName(variant) << ", " << c.what << ", dofs " << ws.DofCount << " band " << ws.HalfBandwidth;
      // The same variant forced on the path the compute command takes.
      ForceEliminationVariant(variant);
      restore();
      const bool forcedOk = ActiveVariant() == variant && EliminateBand(ws) && BackSubstitute(ws);
      ResetEliminationVariant();
      ASSERT_TRUE(forcedOk) << VariantName(variant) << " forced, active " << VariantName(ActiveVariant());
      EXPECT_EQ(Displacements(), actual) << VariantName(variant) << " forced, " << c.what;
    }
    EXPECT_EQ(ActiveVariant(), DispatchedVariant());
  }
}

// Results against the independent dense solve with exact supports, all
// within 1e-5 of the model's largest value; with the nodes renumbered at
// random, within 1e-6 of the results numbered along the body.
TEST(Solver, AgreesWithAnExactDenseSolve) {
  const std::vector<ModelFamily> cases = DenseReferenceFamilies();
  ModelStore s;
  for (const ModelFamily& c : cases) {
    c.build(s);
    const ReferenceResults reference = SolveReference(s);
    double largestU = 0, largestStress = 0;
    for (double u : reference.u) largestU = std::max(largestU, std::fabs(u));
    for (const auto& row : reference.stress)
      for (double sigma : row) largestStress = std::max(largestStress, std::fabs(sigma));

    // Node n of the reference is node perm[n] of the model solved.
    auto expectReference = [&](const std::vector<int>& perm, const char* numbering) {
      for (int n = 1; n <= s.NodeCount; ++n)
        for (int k = 1; k <= 3; ++k)
          EXPECT_NEAR(ws.Rhs[DofOf(perm[n], k)], reference.u[DofOf(n, k)], 1e-5 * largestU)
              << c.what << ", " << numbering << ", node " << n;
      for (int e = 1; e <= s.ElementCount; ++e)
        for (int k = 1; k <= 7; ++k)
          EXPECT_NEAR(ws.ElementStresses[e][k], reference.stress[e][k], 1e-5 * largestStress)
              << c.what << ", " << numbering << ", element " << e;
    };
    std::vector<int> identity(s.NodeCount + 1);
    std::iota(identity.begin(), identity.end(), 0);
    ASSERT_EQ(Solve(s), SolveOk) << c.what;
    EXPECT_EQ(FindFreeMotion(SolidModelFromStore(s, Densities)).dof, 0) << c.what;
    expectReference(identity, "along the body");
    const std::vector<double> alongTheBody = Displacements();
    const auto stressesAlongTheBody = ws.ElementStresses;

    const std::vector<int> perm = RandomPermutation(s.NodeCount, 11);
    Renumber(s, perm);
    ASSERT_EQ(Solve(s), SolveOk) << c.what << " renumbered";
    expectReference(perm, "at random");
    for (int n = 1; n <= s.NodeCount; ++n)
      for (int k = 1; k <= 3; ++k)
        EXPECT_NEAR(ws.Rhs[DofOf(perm[n], k)], alongTheBody[DofOf(n, k) - 1], 1e-6 * largestU) << c.what << n;
    for (int e = 1; e <= s.ElementCount; ++e)
      for (int k = 1; k <= 7; ++k)
        EXPECT_NEAR(ws.ElementStresses[e][k], stressesAlongTheBody[e][k], 1e-6 * largestStress) << c.what << e;
  }
}

}  // namespace
