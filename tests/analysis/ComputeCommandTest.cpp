#include <gtest/gtest.h>

#include <functional>
#include <string>

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
  // A model too large names the limit it exceeds; 1995 degrees of freedom
  // (665 nodes) is the one a mesh meets first.
  EXPECT_EQ(
      *CheckComputable(s),
      (UserMessage{"Model ma 666 węzłów, a obliczenia w oknie obejmują najwyżej 665 węzłów (1995 stopni swobody).",
                   "Kontrola liczby węzłów", MessageStyle::Plain,
                   "Większe modele oblicza polecenie qor3d-batch, np.: qor3d-batch model.q3d --vtk wyniki.vtu"}));
  s.ElementCount = 1998;
  EXPECT_EQ(CheckComputable(s)->text, "Osiągnięto maksymalną liczbe elementów");
  s.ElementCount = 1;
  s.NodeCount = 10;
  s.SupportCount = 498;
  EXPECT_TRUE(ModelTooLarge(s));
  EXPECT_EQ(CheckComputable(s)->text, "Osiągnięto maksymalną liczbe podpór");
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
  EXPECT_EQ(failed.message.text, "Błąd podczas obliczeń");
  EXPECT_EQ(s.Displacements[1], 77.0f);
  for (int e = 1; e <= s.ElementCount; ++e) Densities[e] = 0.0f;
}

// Every failure keeps the results as they were and says in the detail what
// is at fault.
TEST(ComputeCommand, FailuresNameWhatIsAtFault) {
  struct Case {
    const char* what;
    std::function<void(ModelStore&)> spoil;
    std::string detail;
    bool useDensities = false;
  };
  const Case cases[] = {
      {"material out of range",
       [](ModelStore& s) {
         s.Materials[++s.MaterialCount] = {-5.0f, 0.3f};
         s.Elements[3].material = 2;
       },
       "Materiał 2 ma niepoprawne stałe: moduł Younga E musi być dodatni, a współczynnik Poissona ni większy od -1 "
       "i mniejszy od 0,5."},
      {"nu = 0.5", [](ModelStore& s) { s.Materials[1].nu = 0.5f; },
       "Materiał 1 ma niepoprawne stałe: moduł Younga E musi być dodatni, a współczynnik Poissona ni większy od -1 "
       "i mniejszy od 0,5."},
      {"flat element", [](ModelStore& s) { s.Elements[4].node[2] = s.Elements[4].node[1]; },
       "Element 4 ma zerową objętość: jego węzły leżą w jednej płaszczyźnie."},
      {"node in no element",
       [](ModelStore& s) {
         s.Nodes[++s.NodeCount] = {7, 7, 7};
         AddSupport(s, s.NodeCount, 1);
       },
       "Węzeł 21 nie należy do żadnego elementu i może się swobodnie przemieszczać w kierunku y."},
      {"held at one node", [](ModelStore& s) { s.SupportCount = 3; },
       "Węzeł 2 może się swobodnie przemieszczać w kierunku y."},
      {"displacements beyond floats",
       [](ModelStore& s) {
         s.Materials[1].E = 1.0f;
         s.Forces[DofOf(20, 3)] = -2.5e37f;
       },
       "Przemieszczenie węzła 9 w kierunku z przekracza zakres liczb."},
      {"no stiffness at all", [](ModelStore&) { Densities.fill(0.0f); },
       "Węzeł 5 może się swobodnie przemieszczać w kierunku x.\n"
       "Sztywności elementów pomnożono przez gęstości z pliku (\"Gęstości z pliku\").",
       true},
  };
  for (const Case& c : cases) {
    ModelStore s;
    BuildCantilever(s, 4, 1, 1, 1.0f, 1.0f);  // 20 nodes, face x = 0 (nodes 1 to 4) held
    c.spoil(s);
    s.Displacements[1] = 77.0f;
    s.Stresses[1][1] = 66.0f;
    const ComputeOutcome outcome = ComputeModel(s, c.useDensities);
    EXPECT_TRUE(outcome.attempted) << c.what;
    EXPECT_FALSE(outcome.succeeded) << c.what;
    EXPECT_EQ(outcome.message, (UserMessage{"Błąd podczas obliczeń", "Obliczenia", MessageStyle::Stop, c.detail}))
        << c.what << ": " << outcome.message.detail;
    EXPECT_EQ(s.Displacements[1], 77.0f) << c.what;
    EXPECT_EQ(s.Stresses[1][1], 66.0f) << c.what;
  }
}

// The largest modulus a float holds still computes: the stresses of a
// cantilever do not depend on E.
TEST(ComputeCommand, ExtremeModulusComputes) {
  ModelStore soft, stiff;
  BuildCantilever(soft, 4, 1, 1, 1.0f, 1.0f);
  BuildCantilever(stiff, 4, 1, 1, 1.0f, 1.0f);
  stiff.Materials[1].E = 3e38f;
  ASSERT_TRUE(ComputeModel(soft, false).succeeded);
  ASSERT_TRUE(ComputeModel(stiff, false).succeeded);
  for (int e = 1; e <= soft.ElementCount; ++e)
    for (int k = 1; k <= 7; ++k) EXPECT_NEAR(stiff.Stresses[e][k], soft.Stresses[e][k], 1e-5) << e << " " << k;
  EXPECT_GT(stiff.Stresses[1][Reduced], 1.0f);
}

}  // namespace
