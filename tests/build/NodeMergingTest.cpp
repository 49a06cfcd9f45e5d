#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "ModelFixtures.h"
#include "build/NodeMerging.h"

namespace qor {
namespace {

using testing::AddElement;
using testing::AddSupportRow;
using testing::NodesOf;
using testing::NumberedNodes;

TEST(MergeCoincidentNodes, FusesIntoTheHigherTwinAndRenumbersElementsAndForces) {
  ModelStore store;
  NumberedNodes(store, 8);
  store.Nodes[7] = store.Nodes[3];
  AddElement(store, {3, 4, 5, 6});
  AddElement(store, {7, 8, 1, 2});

  EXPECT_EQ(MergeCoincidentNodes(store, 1, store.NodeCount, 0, 0, 0, AgainstAll), 1);

  EXPECT_EQ(store.NodeCount, 7);
  // 3 -> 7 -> renumbered 6; 4, 5, 6 -> 3, 4, 5.
  EXPECT_EQ(NodesOf(store, 1), (std::array<int, 4>{6, 3, 4, 5}));
  EXPECT_EQ(NodesOf(store, 2), (std::array<int, 4>{6, 7, 1, 2}));
  // Former node 4 is now node 3 with its coordinates and forces; the survivor
  // carries the sum of both nodes' loads (node 3: 31, 32, 33; node 7: 71, 72, 73).
  EXPECT_EQ(store.Nodes[3].x, 4.0f);
  EXPECT_EQ(store.Forces[DofOf(3, 1)], 41.0f);
  EXPECT_EQ(store.Forces[DofOf(7, 3)], 83.0f);
  EXPECT_EQ(store.Forces[DofOf(6, 1)], 102.0f);
  EXPECT_EQ(store.Forces[DofOf(6, 2)], 104.0f);
  EXPECT_EQ(store.Forces[DofOf(6, 3)], 106.0f);
}

TEST(MergeCoincidentNodes, ThreeCoincidentNodesEndAsTheHighest) {
  ModelStore store;
  NumberedNodes(store, 10);
  store.Nodes[2] = store.Nodes[5] = store.Nodes[9] = {-1, 2, 3};
  AddElement(store, {2, 1, 3, 4});
  AddElement(store, {5, 6, 7, 8});
  AddElement(store, {9, 10, 1, 3});

  EXPECT_EQ(MergeCoincidentNodes(store, 1, store.NodeCount, 0, 0, 0, AgainstAll), 2);

  EXPECT_EQ(store.NodeCount, 8);
  EXPECT_EQ(NodesOf(store, 1), (std::array<int, 4>{7, 1, 2, 3}));
  EXPECT_EQ(NodesOf(store, 2), (std::array<int, 4>{7, 4, 5, 6}));
  EXPECT_EQ(NodesOf(store, 3), (std::array<int, 4>{7, 8, 1, 2}));
  EXPECT_EQ(store.Nodes[7].y, 2.0f);
  EXPECT_EQ(store.Forces[DofOf(7, 1)], 163.0f);  // 21 + 51 + 91: the loads of all three
}

TEST(MergeCoincidentNodes, TheSurvivorTakesTheSupportsEachDegreeOfFreedomOnce) {
  // Node 4 fuses into node 6 (then node 5); rows as (dof, prescribed value).
  const struct {
    std::vector<std::pair<int, int>> before, after;
  } cases[] = {
      // x and z of node 4 move to node 5; node 10 x (28) becomes node 9 x (25).
      {{{DofOf(4, 1), 0}, {DofOf(4, 3), 2}, {28, 0}, {DofOf(2, 2), 0}},
       {{DofOf(5, 1), 0}, {DofOf(5, 3), 2}, {25, 0}, {DofOf(2, 2), 0}}},
      // The survivor's own z row stays; the fused node's z row and its second x row go.
      {{{DofOf(4, 1), 0}, {DofOf(6, 3), 1}, {DofOf(4, 3), 0}, {DofOf(4, 1), 0}}, {{DofOf(5, 1), 0}, {DofOf(5, 3), 1}}},
  };
  for (const auto& c : cases) {
    ModelStore store;
    NumberedNodes(store, 10);
    store.Nodes[4] = store.Nodes[6];
    for (auto [dof, value] : c.before) store.Supports[++store.SupportCount] = {dof, value};
    EXPECT_EQ(MergeCoincidentNodes(store, 1, store.NodeCount, 0, 0, 0, AgainstAll), 1);
    std::vector<std::pair<int, int>> after;
    for (int r = 1; r <= store.SupportCount; ++r) after.emplace_back(store.Supports[r].dof, store.Supports[r].value);
    EXPECT_EQ(after, c.after);
  }
}

TEST(DuplicateNodeCommand, TwoCuboidsSideBySideKeepTheirSupportsAndForces) {
  // Two unit cubes of eight corners each, the second against the first at x = 1:
  // the four shared corners of the first fuse into those of the second.
  ModelStore store;
  store.NodeCount = 16;
  for (int n = 1; n <= 16; ++n) {
    const int k = (n - 1) % 8;
    store.Nodes[n] = {static_cast<float>(n > 8) + static_cast<float>(k & 1), static_cast<float>((k >> 1) & 1),
                      static_cast<float>(k >> 2)};
  }
  for (int n = 1; n <= 8; ++n) {  // the first cube is held in x and loaded in -z
    AddSupportRow(store, DofOf(n, 1));
    store.Forces[DofOf(n, 3)] = -10.0f;
  }
  store.Forces[DofOf(9, 3)] = -5.0f;  // the second cube's corner (1, 0, 0) carries a load of its own

  const CommandOutcome outcome = RemoveDuplicateNodes(store);
  EXPECT_EQ(outcome.message->text, "Usunięto 4 węzłów.");
  EXPECT_EQ(store.NodeCount, 12);
  EXPECT_EQ(store.SupportCount, 8);
  double total = 0;
  for (int d = 1; d <= 3 * store.NodeCount; ++d) total += store.Forces[d];
  EXPECT_EQ(total, -85.0);
  // Every node at x = 0 or x = 1 is held in x, each once.
  for (int n = 1; n <= 12; ++n) {
    int rows = 0;
    for (int r = 1; r <= store.SupportCount; ++r) rows += store.Supports[r].dof == DofOf(n, 1);
    EXPECT_EQ(rows, store.Nodes[n].x <= 1.0f ? 1 : 0) << n;
  }
  for (int n = 1; n <= 12; ++n) {
    if (store.Nodes[n].x == 1.0f && store.Nodes[n].y == 0.0f && store.Nodes[n].z == 0.0f) {
      EXPECT_EQ(store.Forces[DofOf(n, 3)], -15.0f);
    }
  }
}

TEST(DuplicateNodeCommand, ForcesThatWouldSumBeyondTheFloatRangeRefuseIt) {
  ModelStore store;
  NumberedNodes(store, 3);
  store.Nodes[3] = store.Nodes[1];
  store.Forces[DofOf(1, 2)] = store.Forces[DofOf(3, 2)] = 3e38f;
  store.ResultsValid = 1;
  const auto before = std::make_unique<ModelStore>(store);
  const CommandOutcome outcome = RemoveDuplicateNodes(store);
  ASSERT_TRUE(outcome.message);
  EXPECT_EQ(outcome.message->style, MessageStyle::Exclamation);
  EXPECT_EQ(store.NodeCount, 3);
  EXPECT_EQ(store.Forces[DofOf(1, 2)], 3e38f);
  EXPECT_EQ(store.ResultsValid, 1);
  EXPECT_FALSE(outcome.repaint);
}

TEST(MergeCoincidentNodes, ExactEqualityOnlyAndNoMergeWithoutTwins) {
  ModelStore store;
  NumberedNodes(store, 3);
  store.Nodes[2] = {1.0f, 0, 0};
  store.Nodes[2].x = std::nextafter(1.0f, 2.0f);  // one float step from node 1
  EXPECT_EQ(MergeCoincidentNodes(store, 1, store.NodeCount, 0, 0, 0, AgainstAll), 0);
  EXPECT_EQ(store.NodeCount, 3);
  // An empty range examines nothing.
  EXPECT_EQ(MergeCoincidentNodes(store, 4, store.NodeCount, 0, 0, 0, AgainstAll), 0);
  ModelStore empty;
  EXPECT_EQ(MergeCoincidentNodes(empty, 1, 0, 0, 0, 0, AgainstAll), 0);
}

TEST(MergeCoincidentNodes, ElementOnBothTwinsKeepsTwoEqualReferences) {
  ModelStore store;
  NumberedNodes(store, 4);
  store.Nodes[4] = store.Nodes[2];
  AddElement(store, {1, 2, 3, 4});
  EXPECT_EQ(MergeCoincidentNodes(store, 1, store.NodeCount, 0, 0, 0, AgainstAll), 1);
  EXPECT_EQ(NodesOf(store, 1), (std::array<int, 4>{1, 3, 2, 3}));
}

TEST(MergeCoincidentNodes, NewNodesFuseIntoTheLowestExistingNode) {
  ModelStore store;
  NumberedNodes(store, 6);
  store.Nodes[3] = store.Nodes[2];  // two existing nodes at one point
  store.Nodes[5] = store.Nodes[2];  // new nodes 5 and 6: 5 coincides with both
  AddElement(store, {4, 5, 6, 1});

  // Within the new range only, node 5 has no partner.
  EXPECT_EQ(MergeCoincidentNodes(store, 5, store.NodeCount, 0, 0, 0, WithinRange), 0);
  EXPECT_EQ(MergeCoincidentNodes(store, 5, store.NodeCount, 0, 0, 0, AgainstAll), 1);
  EXPECT_EQ(store.NodeCount, 5);
  EXPECT_EQ(NodesOf(store, 1), (std::array<int, 4>{4, 2, 5, 1}));
  // The existing twins 2 and 3 were not examined and stay apart.
  EXPECT_EQ(store.Nodes[3].x, 2.0f);
}

TEST(DuplicateNodeCommand, ReportsTheCountAndInvalidatesOnlyWhenSomethingWasFused) {
  ModelStore store;
  NumberedNodes(store, 3);
  store.ResultsValid = 1;
  CommandOutcome none = RemoveDuplicateNodes(store);
  EXPECT_EQ(none.message, (UserMessage{"Usunięto 0 węzłów.", "Usuwanie węzłów", MessageStyle::Plain}));
  EXPECT_FALSE(none.repaint);
  EXPECT_EQ(store.ResultsValid, 1);

  store.Nodes[3] = store.Nodes[1];
  CommandOutcome one = RemoveDuplicateNodes(store);
  EXPECT_EQ(one.message->text, "Usunięto 1 węzłów.");
  EXPECT_TRUE(one.repaint);
  EXPECT_EQ(store.ResultsValid, 0);
  EXPECT_EQ(store.NodeCount, 2);
}

TEST(MergeCoincidentNodes, AFullStoreKeepsTheForcesOfItsLastNodes) {
  // 997 nodes own 2991 degrees of freedom; fusing moves the force entries of
  // the last nodes down with them (the sanitizer build checks the bounds).
  ModelStore store;
  store.NodeCount = 997;
  for (int n = 1; n <= 997; ++n) store.Nodes[n] = {static_cast<float>(n % 500), 0, 0};
  store.Forces[DofOf(997, 2)] = 4.0f;  // node 997 survives its twin 497 as node 500
  EXPECT_EQ(MergeCoincidentNodes(store, 1, store.NodeCount, 0, 0, 0, AgainstAll), 497);
  EXPECT_EQ(store.NodeCount, 500);
  EXPECT_EQ(store.Forces[DofOf(500, 2)], 4.0f);
}

}  // namespace
}  // namespace qor
