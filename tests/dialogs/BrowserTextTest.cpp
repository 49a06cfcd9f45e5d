// The list lines and detail texts of the two browsers, without a window.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "BrowserTestModel.h"
#include "BrowserText.h"

namespace {

using qor::RealFormat;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class BrowserTextTest : public ::testing::Test {
 protected:
  void SetUp() override { qor::test::FillSmallModel(m); }
  std::unique_ptr<qor::ModelStore> store = std::make_unique<qor::ModelStore>();
  qor::ModelStore& m = *store;
};

TEST_F(BrowserTextTest, ListLinesOfEveryTable) {
  EXPECT_THAT(qor::ElementLines(m), ElementsAre("1 : 1 - 2 - 3 - 4 - 1", "2 : 2 - 3 - 4 - 5 - 2",
                                                "3 : 5 - 1 - 5 - 3 - 1", "4 : 6 - 7 - 8 - 9 - 1"));
  const auto nodes = qor::NodeLines(m, RealFormat::General(15, '.'));
  ASSERT_EQ(nodes.size(), 9u);
  EXPECT_EQ(nodes[1], "2 : 2.5 , 0 , 0");
  EXPECT_EQ(nodes[2], "3 : 0 , 0.100000001490116 , 0");
  EXPECT_EQ(qor::NodeLines(m, RealFormat::General(7, ','))[2], "3 : 0 , 0,1 , 0");
  EXPECT_THAT(qor::MaterialLines(m, ','), ElementsAre("1 : 200000,00000 , 0,30000", "2 : 70000,00000 , 0,25000"));
  EXPECT_THAT(qor::SupportLines(m), ElementsAre("1 : 1z , 0", "2 : 1x , 0", "3 : 1y , 0", "4 : 2z , -3", "5 : 4x , 0",
                                                "6 : 5y , 0", "7 : 5x , 0"));
  // Only non-zero components, x before z within a node.
  EXPECT_THAT(qor::ForceLines(m, '.'), ElementsAre("3 : 100.00000y", "5 : -2.50000x", "5 : 4.00000z"));
}

TEST_F(BrowserTextTest, EmptyTablesGiveNoLines) {
  qor::ClearModel(m);
  EXPECT_THAT(qor::ElementLines(m), IsEmpty());
  EXPECT_THAT(qor::NodeLines(m, RealFormat::General(15, '.')), IsEmpty());
  EXPECT_THAT(qor::MaterialLines(m, '.'), IsEmpty());
  EXPECT_THAT(qor::SupportLines(m), IsEmpty());
  // Forces of the cleared nodes are still in storage but belong to no node.
  EXPECT_THAT(qor::ForceLines(m, '.'), IsEmpty());
}

TEST_F(BrowserTextTest, SupportEntryNamesNodeAndDirectionOfEachDof) {
  EXPECT_EQ(qor::SupportEntry({13, 0}), "5x , 0");
  EXPECT_EQ(qor::SupportEntry({14, 0}), "5y , 0");
  EXPECT_EQ(qor::SupportEntry({15, 7}), "5z , 7");
  EXPECT_EQ(qor::SupportEntry({1, -2}), "1x , -2");
}

TEST_F(BrowserTextTest, NodePiecesKeepAxisAndRowOrder) {
  const RealFormat fixed = RealFormat::Fixed('.');
  EXPECT_EQ(qor::NodeForcesText(m, 5, fixed), "-2.50000x 4.00000z ");
  EXPECT_EQ(qor::NodeForcesText(m, 1, fixed), "");
  // Node 1 is held by rows 1, 2, 3 in the order z, x, y.
  EXPECT_EQ(qor::NodeSupportsText(m, 1), "1z , 0 1x , 0 1y , 0 ");
  EXPECT_EQ(qor::NodeSupportsText(m, 3), "");
  EXPECT_EQ(qor::CoordinatesText(m, 3, fixed), "0.00000 , 0.10000 , 0.00000");
  EXPECT_EQ(qor::CoordinatesText(m, 2, RealFormat::Fixed(',')), "2,50000 , 0,00000 , 0,00000");
}

TEST_F(BrowserTextTest, ElementPiecesFollowElementNodeOrderOncePerNode) {
  const RealFormat fixed = RealFormat::Fixed('.');
  EXPECT_EQ(qor::ElementSupportsText(m, 2), "2z , -3 4x , 0 5y , 0 5x , 0 ");
  EXPECT_EQ(qor::ElementForcesText(m, 2, fixed), "100.00000y -2.50000x 4.00000z ");
  // Element 3 is 5 - 1 - 5 - 3: node 5 first and only once.
  EXPECT_EQ(qor::ElementSupportsText(m, 3), "5y , 0 5x , 0 1z , 0 1x , 0 1y , 0 ");
  EXPECT_EQ(qor::ElementForcesText(m, 3, fixed), "-2.50000x 4.00000z 100.00000y ");
  EXPECT_EQ(qor::ElementForcesText(m, 3, RealFormat::General(7, '.')), "-2.5x 4z 100y ");
  // None of element 4's nodes is held or loaded.
  EXPECT_EQ(qor::ElementSupportsText(m, 4), "");
  EXPECT_EQ(qor::ElementForcesText(m, 4, fixed), "");
}

TEST_F(BrowserTextTest, NumbersOutsideTheModelShowNoStaleData) {
  const RealFormat fixed = RealFormat::Fixed('.');
  // A material number that no material has yet, or an element node beyond
  // NodeCount, shows a dash rather than leftover storage.
  m.Elements[4].material = 3;
  m.Materials[3] = {1.0f, 0.1f};
  EXPECT_EQ(qor::MaterialText(m, 3, fixed), "-");
  EXPECT_EQ(qor::MaterialText(m, 0, fixed), "-");
  m.NodeCount = 8;
  EXPECT_EQ(qor::CoordinatesText(m, 9, fixed), "-");
  EXPECT_EQ(qor::NodeSupportsText(m, 9), "");
  // Element rows past ElementCount have no pieces.
  EXPECT_EQ(qor::ElementSupportsText(m, 5), "");
  EXPECT_EQ(qor::ElementNodesText(m, 5), "-");
}

TEST_F(BrowserTextTest, EveryNodeOfAFullStoreShowsItsForceAndDisplacement) {
  // 997 nodes have degrees of freedom up to 2991; the tables hold them all,
  // and nothing past the model's own degrees of freedom is read.
  m.NodeCount = 997;
  m.Forces[qor::DofOf(997, 1)] = 9.0f;
  m.Displacements[qor::DofOf(997, 3)] = -1.0f;
  EXPECT_EQ(qor::ForceAt(m, qor::DofOf(997, 1)), 9.0f);
  EXPECT_EQ(qor::ForceAt(m, qor::DofOf(997, 3) + 1), 0.0f);
  EXPECT_EQ(qor::NodeForcesText(m, 997, RealFormat::Fixed('.')), "9.00000x ");
  EXPECT_EQ(qor::DisplacementText(m, 997, RealFormat::General(7, '.')), "0 , 0 , -1");
  EXPECT_EQ(qor::ForceLines(m, '.').back(), "997 : 9.00000x");
  m.Forces[qor::DofOf(997, 1)] = 0.0f;
  m.Displacements[qor::DofOf(997, 3)] = 0.0f;
}

TEST_F(BrowserTextTest, ResultFormatHasSevenDigits) {
  qor::test::FillSmallResults(m);
  const RealFormat general = RealFormat::General(7, '.');
  EXPECT_EQ(qor::DisplacementText(m, 3, general), "1.23E-5 , 0.000123 , -1");
  EXPECT_EQ(qor::DisplacementText(m, 3, RealFormat::General(7, ',')), "1,23E-5 , 0,000123 , -1");
  EXPECT_EQ(general(m.Stresses[2][qor::Reduced]), "1.234568E8");
  EXPECT_EQ(qor::MaterialText(m, 2, general), "70000 , 0.25");
}

}  // namespace
