#include <gtest/gtest.h>

#include <cmath>

#include "ModelFixtures.h"
#include "build/Generators.h"
#include "build/HexBlock.h"

namespace qor {
namespace {

using testing::NodesOf;
using testing::SignedVolume;

BlockCorners UnitCube() { return AxisBlockCorners(0, 0, 0, 1, 1, 1); }

TEST(AppendHexBlock, UnitCubeGivesSixTetrahedraFillingIt) {
  ModelStore store;
  AppendHexBlock(store, UnitCube(), 1);
  ASSERT_EQ(store.NodeCount, 8);
  ASSERT_EQ(store.ElementCount, 6);
  const NodeRow expected[9] = {{},        {0, 0, 0}, {0, 0, 1}, {1, 0, 0}, {1, 0, 1},
                               {0, 1, 0}, {0, 1, 1}, {1, 1, 0}, {1, 1, 1}};
  for (int k = 1; k <= 8; ++k) {
    EXPECT_EQ(store.Nodes[k].x, expected[k].x) << k;
    EXPECT_EQ(store.Nodes[k].y, expected[k].y) << k;
    EXPECT_EQ(store.Nodes[k].z, expected[k].z) << k;
  }
  const std::array<int, 4> tets[6] = {{1, 2, 4, 8}, {1, 2, 8, 5}, {2, 8, 5, 6},
                                      {1, 3, 4, 7}, {1, 7, 8, 5}, {1, 8, 4, 7}};
  double sum = 0;
  for (int e = 1; e <= 6; ++e) {
    EXPECT_EQ(NodesOf(store, e), tets[e - 1]);
    const double v = SignedVolume(store, e);
    EXPECT_NEAR(std::fabs(v), 1.0 / 6.0, 1e-12) << e;
    // Tetrahedra 4 and 5 are the two with negative orientation.
    EXPECT_EQ(v < 0, e == 4 || e == 5) << e;
    sum += std::fabs(v);
  }
  EXPECT_NEAR(sum, 1.0, 1e-12);
}

TEST(AppendHexBlock, NumbersFollowTheExistingModelAndZeroTheNewForces) {
  ModelStore store;
  store.NodeCount = 10;
  store.ElementCount = 3;
  for (int d = 1; d <= 3 * 18; ++d) store.Forces[d] = 5.0f;  // stale values after a ClearModel
  AppendHexBlock(store, UnitCube(), 2);
  EXPECT_EQ(store.ElementCount, 9);
  EXPECT_EQ(store.NodeCount, 18);
  EXPECT_EQ(NodesOf(store, 4), (std::array<int, 4>{11, 12, 14, 18}));
  EXPECT_EQ(NodesOf(store, 9), (std::array<int, 4>{11, 18, 14, 17}));
  EXPECT_EQ(store.Elements[9].material, 2);
  EXPECT_EQ(store.Forces[30], 5.0f);
  for (int d = 31; d <= 54; ++d) EXPECT_EQ(store.Forces[d], 0.0f) << d;
}

TEST(ValidMaterialNumber, OutOfRangeBecomesOne) {
  ModelStore store;
  EXPECT_EQ(ValidMaterialNumber(store, 1), 1);
  EXPECT_EQ(ValidMaterialNumber(store, 2), 1);  // no material yet
  store.MaterialCount = 3;
  EXPECT_EQ(ValidMaterialNumber(store, 3), 3);
  EXPECT_EQ(ValidMaterialNumber(store, 2), 2);
  EXPECT_EQ(ValidMaterialNumber(store, 0), 1);
  EXPECT_EQ(ValidMaterialNumber(store, -1), 1);
  EXPECT_EQ(ValidMaterialNumber(store, 4), 1);
}

TEST(HexBlocksFit, ElementNodeAndDofEdges) {
  ModelStore store;
  store.ElementCount = 1991;
  EXPECT_TRUE(HexBlocksFit(store, 1));
  store.ElementCount = 1992;
  EXPECT_FALSE(HexBlocksFit(store, 1));
  store.ElementCount = 0;
  store.NodeCount = 657;  // 3 × 665 = 1995 degrees of freedom
  EXPECT_TRUE(HexBlocksFit(store, 1));
  store.NodeCount = 658;  // 3 × 666 = 1998
  EXPECT_FALSE(HexBlocksFit(store, 1));
  store.NodeCount = 650;
  EXPECT_TRUE(HexBlocksFit(store, 1));
  EXPECT_FALSE(HexBlocksFit(store, 2));
  store.NodeCount = 0;
  EXPECT_TRUE(HexBlocksFit(store, 83));
  EXPECT_FALSE(HexBlocksFit(store, 84));
  EXPECT_FALSE(HexBlocksFit(store, std::int64_t{1} << 40));
}

}  // namespace
}  // namespace qor
