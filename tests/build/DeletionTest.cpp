#include <gtest/gtest.h>

#include "ModelFixtures.h"
#include "build/Deletion.h"

namespace qor {
namespace {

using testing::AddElement;
using testing::AddSupportRow;
using testing::NodesOf;
using testing::NumberedNodes;

UserMessage PlainText(const std::string& text) { return {text, "", MessageStyle::Plain}; }

TEST(DeleteElement, LaterElementsMoveUpWithMaterialsAndDensities) {
  ModelStore store;
  NumberedNodes(store, 8);
  for (int e = 1; e <= 5; ++e) {
    AddElement(store, {e, e + 1, e + 2, e + 3}, e);
    Densities[e] = 0.5f * e;
  }
  store.ResultsValid = 1;
  CommandOutcome outcome = DeleteElement(store, "2");
  EXPECT_TRUE(outcome.repaint);
  EXPECT_EQ(store.ResultsValid, 0);
  ASSERT_EQ(store.ElementCount, 4);
  EXPECT_EQ(store.NodeCount, 8);
  for (int e = 2; e <= 4; ++e) {
    EXPECT_EQ(NodesOf(store, e)[0], e + 1);
    EXPECT_EQ(store.Elements[e].material, e + 1);
    EXPECT_EQ(Densities[e], 0.5f * (e + 1));
  }
  EXPECT_EQ(Densities[1], 0.5f);
  // The offered number, the count, deletes the last element.
  DeleteElement(store, std::to_string(store.ElementCount));
  EXPECT_EQ(store.ElementCount, 3);
  EXPECT_EQ(store.Elements[3].material, 4);
}

TEST(DeletionCommands, InvalidNumbersChangeNothing) {
  ModelStore store;
  NumberedNodes(store, 4);
  AddElement(store, {1, 2, 3, 4});
  AddSupportRow(store, 1);
  store.ResultsValid = 1;
  for (const char* text : {"abc", "0", "-1", "5", "", "1.0"}) {
    EXPECT_EQ(DeleteNode(store, text).message, PlainText("Podałeś nieprawidłowy numer węzła\nlub węzeł podparty\n"
                                                         "lub będący składnikiem elementu"));
    EXPECT_EQ(DeleteForce(store, text).message, PlainText("Podałeś nieprawidłowy numer węzła"));
    EXPECT_EQ(DeleteSupports(store, text).message, PlainText("Podałeś nieprawidłowy numer węzła"));
  }
  EXPECT_EQ(DeleteElement(store, "2").message, PlainText("Podałeś nieprawidłowy numer elementu"));
  EXPECT_TRUE(DeleteElement(store, "2").plainMessage);
  EXPECT_EQ(store.NodeCount, 4);
  EXPECT_EQ(store.ElementCount, 1);
  EXPECT_EQ(store.SupportCount, 1);
  EXPECT_EQ(store.Forces[DofOf(4, 3)], 43.0f);
  EXPECT_EQ(store.ResultsValid, 1);
}

TEST(DeleteNode, UsedOrSupportedNodesAreRefused) {
  ModelStore store;
  NumberedNodes(store, 6);
  AddElement(store, {1, 2, 3, 4});
  AddSupportRow(store, DofOf(5, 3));
  for (const char* text : {"1", "4", "5"}) {
    EXPECT_TRUE(DeleteNode(store, text).message) << text;
    EXPECT_EQ(store.NodeCount, 6);
  }
  EXPECT_FALSE(DeleteNode(store, "6").message);
  EXPECT_EQ(store.NodeCount, 5);
}

TEST(DeleteNode, FreeNodeClosesUpNodesForcesElementsAndSupports) {
  ModelStore store;
  NumberedNodes(store, 10);
  AddElement(store, {1, 4, 7, 10});
  AddSupportRow(store, 13);  // node 5, x
  AddSupportRow(store, 2);   // node 1, y
  store.ResultsValid = 1;
  EXPECT_FALSE(DeleteNode(store, "3").message);
  ASSERT_EQ(store.NodeCount, 9);
  for (int n = 3; n <= 9; ++n) {
    EXPECT_EQ(store.Nodes[n].x, static_cast<float>(n + 1));
    EXPECT_EQ(store.Forces[DofOf(n, 2)], 10.0f * (n + 1) + 2);
  }
  EXPECT_EQ(NodesOf(store, 1), (std::array<int, 4>{1, 3, 6, 9}));
  EXPECT_EQ(store.Supports[1].dof, 10);
  EXPECT_EQ(store.Supports[2].dof, 2);
  EXPECT_EQ(store.ResultsValid, 0);
}

TEST(DeleteForce, ZeroesOnlyThatNode) {
  ModelStore store;
  NumberedNodes(store, 5);
  EXPECT_TRUE(DeleteForce(store, "4").repaint);
  for (int c = 1; c <= 3; ++c) {
    EXPECT_EQ(store.Forces[DofOf(4, c)], 0.0f);
    EXPECT_EQ(store.Forces[DofOf(3, c)], 30.0f + c);
    EXPECT_EQ(store.Forces[DofOf(5, c)], 50.0f + c);
  }
}

TEST(DeleteSupports, RemovesEveryRowOfTheNodeThenReportsNone) {
  ModelStore store;
  NumberedNodes(store, 5);
  AddSupportRow(store, DofOf(3, 1));
  AddSupportRow(store, DofOf(2, 2));
  AddSupportRow(store, DofOf(3, 3));
  AddSupportRow(store, DofOf(3, 1));  // added twice
  AddSupportRow(store, DofOf(4, 1));
  store.ResultsValid = 1;
  EXPECT_FALSE(DeleteSupports(store, "3").message);
  ASSERT_EQ(store.SupportCount, 2);
  EXPECT_EQ(store.Supports[1].dof, DofOf(2, 2));
  EXPECT_EQ(store.Supports[2].dof, DofOf(4, 1));
  EXPECT_EQ(store.ResultsValid, 0);

  store.ResultsValid = 1;
  CommandOutcome again = DeleteSupports(store, "3");
  EXPECT_EQ(again.message, PlainText("W tym węźle nie podpór"));
  EXPECT_FALSE(again.repaint);
  EXPECT_EQ(store.ResultsValid, 1);
}

TEST(RemoveFreeNodes, KeepsUsedAndSupportedNodes) {
  ModelStore store;
  NumberedNodes(store, 8);
  AddElement(store, {2, 3, 5, 6});
  AddSupportRow(store, DofOf(8, 2));
  CommandOutcome outcome = RemoveFreeNodes(store);
  EXPECT_EQ(outcome.message, PlainText("Usnięto 3 węzłów."));
  EXPECT_TRUE(outcome.plainMessage);
  EXPECT_TRUE(outcome.repaint);
  ASSERT_EQ(store.NodeCount, 5);
  EXPECT_EQ(NodesOf(store, 1), (std::array<int, 4>{1, 2, 3, 4}));
  EXPECT_EQ(store.Nodes[5].x, 8.0f);
  EXPECT_EQ(store.Forces[DofOf(5, 1)], 81.0f);
  EXPECT_EQ(store.Supports[1].dof, DofOf(5, 2));

  CommandOutcome none = RemoveFreeNodes(store);
  EXPECT_EQ(none.message, PlainText("Usnięto 0 węzłów."));
  EXPECT_FALSE(none.repaint);

  // With every element deleted only the supported node remains.
  DeleteElement(store, "1");
  RemoveFreeNodes(store);
  EXPECT_EQ(store.NodeCount, 1);
  EXPECT_EQ(store.Supports[1].dof, 2);
}

}  // namespace
}  // namespace qor
