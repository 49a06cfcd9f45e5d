#include <gtest/gtest.h>

#include <limits>
#include <utility>
#include <vector>

#include "ModelFixtures.h"
#include "build/Loads.h"

namespace qor {
namespace {

using testing::NumberedNodes;

NodeRangeParams Range(int first, int last, int step) {
  NodeRangeParams p;
  p.FirstNode = first;
  p.LastNode = last;
  p.NodeStep = step;
  return p;
}

TEST(ApplyForces, RangeIsInterpolatedFromStartToEnd) {
  ModelStore store;
  NumberedNodes(store, 8);
  store.ResultsValid = 1;
  NodeRangeParams p = Range(1, 5, 1);
  p.EndX = 100;
  p.StartZ = -4;
  p.EndZ = 4;
  CommandOutcome outcome = ApplyForces(store, p);
  EXPECT_FALSE(outcome.message);
  EXPECT_TRUE(outcome.repaint);
  EXPECT_EQ(store.ResultsValid, 0);
  const float fx[6] = {0, 0, 25, 50, 75, 100};
  const float fz[6] = {0, -4, -2, 0, 2, 4};
  for (int n = 1; n <= 5; ++n) {
    EXPECT_EQ(store.Forces[DofOf(n, 1)], fx[n]) << n;
    EXPECT_EQ(store.Forces[DofOf(n, 2)], 0.0f) << n;
    EXPECT_EQ(store.Forces[DofOf(n, 3)], fz[n]) << n;
  }
  EXPECT_EQ(store.Forces[DofOf(6, 1)], 61.0f);
}

TEST(ApplyForces, SteppedRangeSkipsNodesAndMayMissTheEndValue) {
  ModelStore store;
  NumberedNodes(store, 6);
  NodeRangeParams p = Range(1, 6, 2);
  p.EndX = 10;
  ApplyForces(store, p);
  EXPECT_EQ(store.Forces[DofOf(1, 1)], 0.0f);
  EXPECT_EQ(store.Forces[DofOf(3, 1)], 4.0f);
  EXPECT_EQ(store.Forces[DofOf(5, 1)], 8.0f);
  for (int n : {2, 4, 6}) EXPECT_EQ(store.Forces[DofOf(n, 1)], 10.0f * n + 1) << n;
}

TEST(ApplyForces, SingleNodeFormUsesTheStartValuesAndReplacesTheVector) {
  for (NodeRangeParams p : {Range(7, 7, 1), Range(7, 0, 1), Range(7, 9, 0)}) {
    ModelStore store;
    NumberedNodes(store, 9);
    p.StartX = 1.5f;
    p.StartY = -2;
    p.EndX = p.EndY = p.EndZ = 99;
    EXPECT_FALSE(ApplyForces(store, p).message);
    EXPECT_EQ(store.Forces[DofOf(7, 1)], 1.5f);
    EXPECT_EQ(store.Forces[DofOf(7, 2)], -2.0f);
    EXPECT_EQ(store.Forces[DofOf(7, 3)], 0.0f);
    EXPECT_EQ(store.Forces[DofOf(8, 1)], 81.0f);
    EXPECT_EQ(store.Forces[DofOf(9, 1)], 91.0f);
  }
}

TEST(ApplyForces, NodesOutsideTheModelRefuseTheWholeCommand) {
  NodeRangeParams infinite = Range(1, 1, 0), notANumber = Range(1, 5, 1);
  infinite.StartY = std::numeric_limits<float>::infinity();
  notANumber.EndZ = std::numeric_limits<float>::quiet_NaN();
  // 2..12 step 5 reaches node 12; a force beyond the float range is refused too.
  for (NodeRangeParams p :
       {Range(0, 0, 0), Range(11, 11, 0), Range(9, 11, 1), Range(-1, 3, 1), Range(2, 12, 5), infinite, notANumber}) {
    ModelStore store;
    NumberedNodes(store, 10);
    store.ResultsValid = 1;
    p.StartX = p.EndX = 5;
    CommandOutcome outcome = ApplyForces(store, p);
    EXPECT_EQ(outcome.message, (UserMessage{"Podałeś błędne dane", "Dodaj siłę", MessageStyle::Stop}));
    EXPECT_FALSE(outcome.repaint);
    EXPECT_EQ(store.ResultsValid, 1);
    for (int n = 1; n <= 10; ++n) EXPECT_EQ(store.Forces[DofOf(n, 1)], 10.0f * n + 1);
  }
}

TEST(ApplyForcesAndAddSupports, ALastNodeTheStepsDoNotReachMayLieOutsideTheModel) {
  // With 10 nodes: 1..13 step 20 touches node 1 only, 2..11 step 5 nodes 2 and 7.
  for (const auto& [p, touched] :
       {std::pair{Range(1, 13, 20), std::vector<int>{1}}, std::pair{Range(2, 11, 5), std::vector<int>{2, 7}}}) {
    ModelStore store;
    NumberedNodes(store, 10);
    EXPECT_FALSE(ApplyForces(store, p).message);
    EXPECT_FALSE(AddSupports(store, p).message);
    ASSERT_EQ(store.SupportCount, 3 * static_cast<int>(touched.size()));
    for (std::size_t k = 0; k < touched.size(); ++k) {
      EXPECT_EQ(store.Supports[3 * k + 1].dof, DofOf(touched[k], 1));
      EXPECT_EQ(store.Forces[DofOf(touched[k], 1)], 0.0f);  // the start value
    }
    EXPECT_EQ(store.Forces[DofOf(3, 1)], 31.0f);  // untouched
  }
}

TEST(AddSupports, RowsPerNodeInDirectionOrder) {
  ModelStore store;
  NumberedNodes(store, 6);
  store.ResultsValid = 1;
  NodeRangeParams p = Range(2, 6, 2);
  p.FixY = false;
  CommandOutcome outcome = AddSupports(store, p);
  EXPECT_FALSE(outcome.message);
  EXPECT_EQ(store.ResultsValid, 0);
  ASSERT_EQ(store.SupportCount, 6);
  const int dofs[6] = {4, 6, 10, 12, 16, 18};
  for (int r = 1; r <= 6; ++r) {
    EXPECT_EQ(store.Supports[r].dof, dofs[r - 1]);
    EXPECT_EQ(store.Supports[r].value, 0);
  }

  NodeRangeParams only = Range(5, 5, 0);
  only.FixX = only.FixZ = false;
  AddSupports(store, only);
  ASSERT_EQ(store.SupportCount, 7);
  EXPECT_EQ(store.Supports[7].dof, 14);

  // Nothing checked: no row, but the results are out of date all the same.
  NodeRangeParams none = Range(1, 1, 0);
  none.FixX = none.FixY = none.FixZ = false;
  store.ResultsValid = 1;
  EXPECT_TRUE(AddSupports(store, none).repaint);
  EXPECT_EQ(store.SupportCount, 7);
  EXPECT_EQ(store.ResultsValid, 0);
}

TEST(AddSupports, RefusesBadNodesAndRangesBeyondTheLimit) {
  ModelStore store;
  NumberedNodes(store, 200);
  CommandOutcome bad = AddSupports(store, Range(199, 201, 1));
  EXPECT_EQ(bad.message, (UserMessage{"Podałeś błędne dane", "Dodaj podpore", MessageStyle::Stop}));
  EXPECT_EQ(store.SupportCount, 0);

  // 166 nodes × 3 = 498 rows would reach the limit; 165 nodes (495) fit.
  store.ResultsValid = 1;
  CommandOutcome full = AddSupports(store, Range(1, 166, 1));
  EXPECT_EQ(full.message, LimitMessage(LimitSupports));
  EXPECT_EQ(store.SupportCount, 0);
  EXPECT_EQ(store.ResultsValid, 1);
  EXPECT_FALSE(AddSupports(store, Range(1, 165, 1)).message);
  EXPECT_EQ(store.SupportCount, 495);
  EXPECT_EQ(store.Supports[495].dof, 495);
}

TEST(AddMaterial, AppendsTheNextRow) {
  ModelStore store;
  store.ResultsValid = 1;
  AddMaterial(store, 210000, 0.25f);
  AddMaterial(store, 70000, 0.33f);
  EXPECT_EQ(store.MaterialCount, 2);
  EXPECT_EQ(store.Materials[2].E, 70000.0f);
  EXPECT_EQ(store.Materials[1].nu, 0.25f);
  EXPECT_EQ(store.ResultsValid, 1);
}

}  // namespace
}  // namespace qor
