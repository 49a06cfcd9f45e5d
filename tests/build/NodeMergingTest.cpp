#include <gtest/gtest.h>

#include <cmath>

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
  // Former node 4 is now node 3 with its coordinates and forces; node 3's loads are gone.
  EXPECT_EQ(store.Nodes[3].x, 4.0f);
  EXPECT_EQ(store.Forces[DofOf(3, 1)], 41.0f);
  EXPECT_EQ(store.Forces[DofOf(7, 3)], 83.0f);
  EXPECT_EQ(store.Forces[DofOf(6, 2)], 72.0f);  // the survivor keeps its own loads
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
  EXPECT_EQ(store.Forces[DofOf(7, 1)], 91.0f);
}

TEST(MergeCoincidentNodes, DropsSupportsOfTheFusedNodeAndRenumbersTheRest) {
  ModelStore store;
  NumberedNodes(store, 10);
  store.Nodes[4] = store.Nodes[6];
  AddSupportRow(store, DofOf(4, 1));
  AddSupportRow(store, DofOf(4, 3));
  AddSupportRow(store, 28);  // node 10, x
  AddSupportRow(store, DofOf(2, 2));

  EXPECT_EQ(MergeCoincidentNodes(store, 1, store.NodeCount, 0, 0, 0, AgainstAll), 1);

  ASSERT_EQ(store.SupportCount, 2);
  EXPECT_EQ(store.Supports[1].dof, 25);  // node 9, x
  EXPECT_EQ(store.Supports[2].dof, DofOf(2, 2));
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
