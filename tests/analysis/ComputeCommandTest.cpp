#include <gtest/gtest.h>

#include "analysis/BlockMesh.h"
#include "analysis/ComputeCommand.h"
#include "analysis/SolverWorkspace.h"

namespace {

using namespace qor;
using namespace qortest;

TEST(ComputeCommand, ChecksInOrder) {
  ModelStore s;
  EXPECT_EQ(CheckComputable(s)->text, "Brak zdefiniowanych elementów");
  EXPECT_EQ(CheckComputable(s)->style, MessageStyle::Stop);
  s.ElementCount = 1;
  EXPECT_EQ(CheckComputable(s)->text, "Brak zdefiniowanych materiałów");
  s.MaterialCount = 1;
  EXPECT_EQ(*CheckComputable(s), (UserMessage{"Brak zdefiniowanych podpór", "Obliczenia", MessageStyle::Stop}));
  s.SupportCount = 1;
  EXPECT_FALSE(CheckComputable(s).has_value());
  s.NodeCount = 665;
  EXPECT_FALSE(ModelTooLarge(s));
  s.NodeCount = 666;
  EXPECT_TRUE(ModelTooLarge(s));
  EXPECT_EQ(*CheckComputable(s),
            (UserMessage{"Osiągnięto maksymalną liczbe elementów", "Kontrola liczby elementów", MessageStyle::Plain}));
  s.NodeCount = 10;
  s.SupportCount = 498;
  EXPECT_TRUE(ModelTooLarge(s));
}

TEST(ComputeCommand, CleansSmallValuesAndRecomputesTheReducedStress) {
  ModelStore s;
  BuildCantilever(s, 2, 1, 1, 1.0f, 1.0f);
  s.DofCount = 3 * s.NodeCount;
  SolverWorkspace& ws = TheSolverWorkspace;
  ws.Rhs[1] = 5e-9f;
  ws.Rhs[2] = -2e-8f;
  ws.Rhs[3] = -9.9e-9f;
  ws.ElementStresses[1] = {0, 3.0f, 4e-9f, 0, 0, 0, 0, 1234.0f};
  CopyResults(ws, s);
  EXPECT_EQ(s.Displacements[1], 0.0f);
  EXPECT_EQ(s.Displacements[2], -2e-8f);
  EXPECT_EQ(s.Displacements[3], 0.0f);
  EXPECT_EQ(s.Stresses[1][2], 0.0f);
  EXPECT_FLOAT_EQ(s.Stresses[1][Reduced], 3.0f);
}

TEST(ComputeCommand, DensitiesApplyOnlyWhenAsked) {
  ModelStore s;
  BuildCantilever(s, 4, 1, 1, 1.0f, 1.0f);
  ASSERT_TRUE(ComputeModel(s, false).succeeded);
  const float tip = s.Displacements[3 * s.NodeCount];
  for (int e = 1; e <= s.ElementCount; ++e) Densities[e] = 0.5f;
  ASSERT_TRUE(ComputeModel(s, false).succeeded);
  EXPECT_EQ(s.Displacements[3 * s.NodeCount], tip);
  const ComputeOutcome halfStiff = ComputeModel(s, true);
  ASSERT_TRUE(halfStiff.succeeded);
  EXPECT_EQ(halfStiff.message, (UserMessage{"Obliczono.", "Obliczenia", MessageStyle::Exclamation}));
  EXPECT_NEAR(s.Displacements[3 * s.NodeCount], 2.0f * tip, 1e-4f * std::fabs(tip));
  // An element with density 0 gives no stiffness: the last cell's six elements
  // leave the tip nodes unheld.
  for (int e = s.ElementCount - 5; e <= s.ElementCount; ++e) Densities[e] = 0.0f;
  s.Displacements[1] = 77.0f;
  const ComputeOutcome failed = ComputeModel(s, true);
  EXPECT_TRUE(failed.attempted);
  EXPECT_FALSE(failed.succeeded);
  EXPECT_EQ(failed.message, (UserMessage{"Błąd podczas obliczeń", "Obliczenia", MessageStyle::Stop}));
  EXPECT_EQ(s.Displacements[1], 77.0f);
  for (int e = 1; e <= s.ElementCount; ++e) Densities[e] = 0.0f;
}

}  // namespace
