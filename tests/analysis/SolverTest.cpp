#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "analysis/BlockMesh.h"
#include "analysis/ComputeCommand.h"
#include "analysis/LiteralSolver.h"
#include "analysis/SolverWorkspace.h"

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

std::vector<float> Displacements() { return std::vector<float>(ws.Rhs.begin() + 1, ws.Rhs.begin() + 1 + ws.DofCount); }

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

TEST(Solver, RefusesTooManyNodesAndBrokenReferencesWithoutTouchingTheBand) {
  ModelStore s;
  BuildCantilever(s, 2, 1, 1, 1.0f, 1.0f);
  ws.BandAt(1, 1) = 42.0f;
  FillWorkspace(s, false, ws);
  ws.NodeCount = 667;
  SolveModel(ws);
  EXPECT_EQ(ws.Status, SolveInputError);
  EXPECT_EQ(ws.BandAt(1, 1), 42.0f);

  FillWorkspace(s, false, ws);
  ws.ElementNodes[3][2] = s.NodeCount + 1;  // a node that does not exist
  SolveModel(ws);
  EXPECT_EQ(ws.Status, SolveInputError);
  FillWorkspace(s, false, ws);
  ws.ElementMaterials[1] = 2;  // a material that does not exist
  SolveModel(ws);
  EXPECT_EQ(ws.Status, SolveInputError);
  FillWorkspace(s, false, ws);
  ws.MaterialNu[1] = 0.5f;
  SolveModel(ws);
  EXPECT_EQ(ws.Status, SolveInputError);
}

TEST(Solver, SingleTetrahedronHeldAtThreeCorners) {
  ModelStore s;
  BuildBlockMesh(s, {}, 1, 1, 1);
  const float p[5][3] = {{}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, 0}};
  for (int n = 1; n <= 4; ++n) s.Nodes[n] = {p[n][0], p[n][1], p[n][2]};
  s.NodeCount = 4;
  s.ElementCount = 1;
  s.Elements[1].node[1] = 4;  // the corner at the origin is loaded
  s.Elements[1].node[2] = 1;
  s.Elements[1].node[3] = 2;
  s.Elements[1].node[4] = 3;
  s.Elements[1].material = 1;
  s.Materials[1] = {1000.0f, 0.0f};
  for (int n = 1; n <= 3; ++n)
    for (int c = 1; c <= 3; ++c) AddSupport(s, n, c);
  s.Forces[DofOf(4, 1)] = -1.0f;
  ASSERT_EQ(Solve(s), SolveOk);
  // With nu = 0 and G = E/2 the origin corner (shape gradient (-1, -1, -1))
  // has the stiffness V·E/2·[[4,1,1],[1,4,1],[1,1,4]], so u = (-5, 1, 1)/1500.
  EXPECT_NEAR(ws.Rhs[DofOf(4, 1)], -5.0f / 1500.0f, 1e-8f);
  EXPECT_NEAR(ws.Rhs[DofOf(4, 2)], 1.0f / 1500.0f, 1e-8f);
  EXPECT_NEAR(ws.Rhs[DofOf(4, 3)], 1.0f / 1500.0f, 1e-8f);
  for (int d = 1; d <= 9; ++d) EXPECT_LT(std::fabs(ws.Rhs[d]), 1e-9f);
}

TEST(Solver, FreeNodeAndMechanismsAreSingular) {
  ModelStore s;
  BuildCantilever(s, 3, 1, 1, 1.0f, 1.0f);
  ++s.NodeCount;  // a node of no element
  s.Nodes[s.NodeCount] = {9, 9, 9};
  EXPECT_EQ(Solve(s), SolveSingular);

  BuildBlockMesh(s, BoxCells(4, 2, 2), 1, 1, 1);  // one node fixed
  for (int c = 1; c <= 3; ++c) AddSupport(s, 1, c);
  s.Forces[DofOf(s.NodeCount, 3)] = -1;
  EXPECT_EQ(Solve(s), SolveSingular);

  BuildBlockMesh(s, BoxCells(5, 2, 2), 1, 1, 1);  // every support on one slanted line
  for (int n = 1; n <= s.NodeCount; ++n)
    if (s.Nodes[n].x == s.Nodes[n].y && s.Nodes[n].y == s.Nodes[n].z)
      for (int c = 1; c <= 3; ++c) AddSupport(s, n, c);
  s.Forces[DofOf(s.NodeCount, 2)] = -1;
  EXPECT_EQ(Solve(s), SolveSingular);

  BuildBlockMesh(s, BoxCells(4, 2, 2), 1, 1, 1);  // face x = 0 held in x only
  for (int n : NodesWhere(s, 0, 0.0f)) AddSupport(s, n, 1);
  s.Forces[DofOf(s.NodeCount, 1)] = 1;
  EXPECT_EQ(Solve(s), SolveSingular);

  // Two bars joined at one node: the whole is held, the second bar swings.
  std::vector<Cell> cells;
  for (int i = 0; i < 4; ++i) cells.push_back({i, 0, 0});
  for (int i = 4; i < 8; ++i) cells.push_back({i, 1, 1});
  BuildBlockMesh(s, cells, 1, 1, 1);
  for (int n : NodesWhere(s, 0, 0.0f))
    for (int c = 1; c <= 3; ++c) AddSupport(s, n, c);
  s.Forces[DofOf(s.NodeCount, 3)] = -1;
  EXPECT_EQ(Solve(s), SolveSingular);
  // A second bar that touches nothing.
  cells.resize(4);
  for (int i = 5; i < 8; ++i) cells.push_back({i, 0, 0});
  BuildBlockMesh(s, cells, 1, 1, 1);
  for (int n : NodesWhere(s, 0, 0.0f))
    for (int c = 1; c <= 3; ++c) AddSupport(s, n, c);
  EXPECT_EQ(Solve(s), SolveSingular);
}

TEST(Solver, SlenderCantileversCompute) {
  ModelStore s;
  BuildCantilever(s, 50, 1, 1, 1.0f, 1.0f);
  EXPECT_EQ(Solve(s), SolveOk);
  BuildCantilever(s, 100, 1, 2, 1.0f, 1.0f);  // 100 long, 2 high
  EXPECT_EQ(Solve(s), SolveOk);
  Renumber(s, RandomPermutation(s.NodeCount, 5));
  EXPECT_EQ(Solve(s), SolveOk);
}

TEST(Solver, UniaxialTensionPatch) {
  // Pulled by P = 12 (stress P / A), or stretched by a prescribed end
  // displacement of 1 with the face x = 0 held twice over (stress E / L).
  for (const bool prescribed : {false, true}) {
    ModelStore s;
    const float P = 12.0f, E = 1000.0f, A = 1.0f, L = 4.0f;
    BuildTensionBar(s, prescribed ? 0.0f : P);
    if (prescribed) {
      for (int n : NodesWhere(s, 0, L)) AddSupport(s, n, 1, 1);
      for (int n : NodesWhere(s, 0, 0.0f)) AddSupport(s, n, 1);
    }
    const float stress = prescribed ? E / L : P / A, stretch = stress * L / E;
    ASSERT_EQ(Solve(s), SolveOk);
    for (int e = 1; e <= s.ElementCount; ++e) {
      const auto& sigma = ws.ElementStresses[e];
      EXPECT_NEAR(sigma[1], stress, 5e-4f * stress) << e;
      for (int k = 2; k <= 6; ++k) EXPECT_NEAR(sigma[k], 0.0f, 5e-4f * stress) << e << " " << k;
      EXPECT_NEAR(sigma[7], stress, 5e-4f * stress);
    }
    for (int n : NodesWhere(s, 0, L)) EXPECT_NEAR(ws.Rhs[DofOf(n, 1)], stretch, 5e-4f * stretch);
    for (int n : NodesWhere(s, 0, 0.0f)) EXPECT_NEAR(ws.Rhs[DofOf(n, 1)], 0.0f, 5e-4f * stretch);
    // Lateral contraction by nu at the free corner y = z = 1.
    for (int n : NodesWhere(s, 0, L)) {
      if (s.Nodes[n].y == 1.0f && s.Nodes[n].z == 1.0f) {
        EXPECT_NEAR(ws.Rhs[DofOf(n, 2)], -0.3f * stretch / L, 5e-4f * stretch);
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
    ws.Rhs[DofOf(n, 1)] = 0.25f;
    ws.Rhs[DofOf(n, 2)] = -2.0f;
    ws.Rhs[DofOf(n, 3)] = 1.5f;
  }
  ASSERT_TRUE(RecoverStresses(ws));
  for (int e = 1; e <= s.ElementCount; ++e)
    for (int k = 1; k <= 7; ++k) EXPECT_NEAR(ws.ElementStresses[e][k], 0.0f, 1e-3f);
  // Pure shear τxy = t has reduced stress √3·t; uniaxial p gives |p|.
  EXPECT_FLOAT_EQ(ReducedStress(0, 0, 0, 0, 0, 2.0f), 2.0f * std::sqrt(3.0f));
  EXPECT_FLOAT_EQ(ReducedStress(-5.0f, 0, 0, 0, 0, 0), 5.0f);
}

TEST(Solver, RenumberingChangesOnlyRounding) {
  ModelStore s;
  BuildTensionBar(s, 12.0f);
  s.Forces[DofOf(s.NodeCount, 3)] = 0.5f;  // add some bending
  ASSERT_EQ(Solve(s), SolveOk);
  const ModelStore original = s;
  const std::vector<float> u = Displacements();
  const auto stresses = ws.ElementStresses;
  const std::vector<int> perm = RandomPermutation(s.NodeCount, 11);
  Renumber(s, perm);
  ASSERT_EQ(Solve(s), SolveOk);
  float largest = 0;
  for (float v : u) largest = std::max(largest, std::fabs(v));
  for (int n = 1; n <= original.NodeCount; ++n)
    for (int c = 1; c <= 3; ++c) EXPECT_NEAR(ws.Rhs[DofOf(perm[n], c)], u[DofOf(n, c) - 1], 1e-4f * largest);
  for (int e = 1; e <= s.ElementCount; ++e)
    for (int k = 1; k <= 7; ++k) EXPECT_NEAR(ws.ElementStresses[e][k], stresses[e][k], 1e-3f * 12.0f);
}

// The blocked elimination gives exactly the bits of the plain loops, for
// narrow and wide bands, numberings along the body and at random, and sizes
// that fill neither the last block nor the last vector.
TEST(Solver, BlockedEliminationMatchesThePlainLoopsBitForBit) {
  ModelStore s;
  for (int variant = 0; variant < 5; ++variant) {
    if (variant < 4) {
      BuildCantilever(s, 5 + variant * 7, 1 + variant % 2, 2, 0.5f, 3.0f);
    } else {
      BuildBlockMesh(s, BoxCells(6, 6, 6), 1, 1, 1);  // wide band, many pivot segments
      for (int n : NodesWhere(s, 2, 0.0f))
        for (int c = 1; c <= 3; ++c) AddSupport(s, n, c);
      s.Forces[DofOf(s.NodeCount, 1)] = 2.0f;
    }
    s.Forces[DofOf(s.NodeCount / 2, 1)] = 1.25f;
    if (variant == 2 || variant == 3) Renumber(s, RandomPermutation(s.NodeCount, 100 + variant));
    ASSERT_TRUE(CopyInAndAssemble(s));
    const std::vector<float> rhs(ws.Rhs.begin(), ws.Rhs.begin() + ws.DofCount + 1);
    std::vector<float> band(ws.Band.size());
    std::memcpy(band.data(), ws.Band.data(), band.size() * sizeof(float));

    ASSERT_TRUE(LiteralEliminateAndSolve(ws));
    const std::vector<float> expected = Displacements();
    std::memcpy(ws.Band.data(), band.data(), band.size() * sizeof(float));
    std::copy(rhs.begin(), rhs.end(), ws.Rhs.begin());
    ASSERT_TRUE(EliminateBand(ws) && BackSubstitute(ws));
    const std::vector<float> actual = Displacements();
    ASSERT_EQ(actual.size(), expected.size());
    EXPECT_EQ(std::memcmp(actual.data(), expected.data(), actual.size() * sizeof(float)), 0)
        << "variant " << variant << " dofs " << ws.DofCount << " band " << ws.HalfBandwidth;
  }
}

// The same stiffness solved densely in double precision.
TEST(Solver, CantileverAgreesWithADoublePrecisionDenseSolve) {
  ModelStore s;
  BuildCantilever(s, 10, 2, 2, 0.5f, 2.0f);  // 5 long, 1 × 1 section
  ASSERT_TRUE(CopyInAndAssemble(s));
  const int n = ws.DofCount;
  std::vector<double> K(static_cast<std::size_t>(n) * n, 0.0), b(n);
  for (int i = 1; i <= n; ++i) {
    b[i - 1] = ws.Rhs[i];
    for (int t = 1; t <= ws.HalfBandwidth && i + t - 1 <= n; ++t) {
      K[(i - 1) * n + (i + t - 2)] = ws.BandAt(i, t);
      K[(i + t - 2) * n + (i - 1)] = ws.BandAt(i, t);
    }
  }
  for (int k = 0; k < n; ++k) {  // Gaussian elimination with partial pivoting
    int best = k;
    for (int r = k + 1; r < n; ++r)
      if (std::fabs(K[r * n + k]) > std::fabs(K[best * n + k])) best = r;
    for (int c = 0; c < n; ++c) std::swap(K[k * n + c], K[best * n + c]);
    std::swap(b[k], b[best]);
    for (int r = k + 1; r < n; ++r) {
      const double f = K[r * n + k] / K[k * n + k];
      for (int c = k; c < n; ++c) K[r * n + c] -= f * K[k * n + c];
      b[r] -= f * b[k];
    }
  }
  for (int k = n - 1; k >= 0; --k) {
    for (int c = k + 1; c < n; ++c) b[k] -= K[k * n + c] * b[c];
    b[k] /= K[k * n + k];
  }
  ASSERT_TRUE(EliminateBand(ws) && BackSubstitute(ws));
  double largest = 0;
  for (double v : b) largest = std::max(largest, std::fabs(v));
  ASSERT_GT(largest, 1e-3);
  for (int d = 1; d <= n; ++d) EXPECT_NEAR(ws.Rhs[d], b[d - 1], 1e-3 * largest) << d;
}

}  // namespace
