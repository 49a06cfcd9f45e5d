#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "ModelFixtures.h"
#include "build/Generators.h"
#include "build/NodeMerging.h"

namespace qor {
namespace {

using testing::NodesOf;
using testing::NumberedNodes;
using testing::SignedVolume;

CuboidParams Divided(int nx, int ny, int nz) {
  CuboidParams p;
  p.DivisionsX = nx;
  p.DivisionsY = ny;
  p.DivisionsZ = nz;
  return p;
}

bool OnBoxSurface(const ModelStore& s, const std::array<int, 3>& tri, float lo, float hi) {
  for (int axis = 0; axis < 3; ++axis) {
    for (float plane : {lo, hi}) {
      bool all = true;
      for (int n : tri) {
        const float v = axis == 0 ? s.Nodes[n].x : axis == 1 ? s.Nodes[n].y : s.Nodes[n].z;
        all = all && v == plane;
      }
      if (all) return true;
    }
  }
  return false;
}

TEST(DividedCuboid, TwoByTwoByTwoIsAConformingMeshOfTheGrid) {
  ModelStore store;
  store.ResultsValid = 1;
  CommandOutcome outcome = AppendDividedCuboid(store, Divided(2, 2, 2));
  EXPECT_EQ(store.ResultsValid, 0);
  EXPECT_TRUE(outcome.repaint);
  EXPECT_EQ(outcome.message, RemovedNodesMessage(0));
  ASSERT_EQ(store.NodeCount, 27);
  ASSERT_EQ(store.ElementCount, 48);

  // Every grid point once.
  std::map<std::array<float, 3>, int> points;
  for (int n = 1; n <= 27; ++n) ++points[{store.Nodes[n].x, store.Nodes[n].y, store.Nodes[n].z}];
  EXPECT_EQ(points.size(), 27u);
  for (const auto& [p, count] : points)
    for (float v : p) EXPECT_TRUE(v == 0 || v == 5 || v == 10);

  // Each triangle inside the box is shared by exactly two elements; the rest
  // lie on the box surface, and the volumes fill the box exactly.
  std::map<std::array<int, 3>, int> faces;
  double volume = 0;
  for (int e = 1; e <= 48; ++e) {
    auto n = NodesOf(store, e);
    for (int skip = 0; skip < 4; ++skip) {
      std::array<int, 3> tri;
      int k = 0;
      for (int c = 0; c < 4; ++c)
        if (c != skip) tri[k++] = n[c];
      std::sort(tri.begin(), tri.end());
      ++faces[tri];
    }
    volume += std::fabs(SignedVolume(store, e));
    EXPECT_EQ(store.Elements[e].material, 1);
  }
  for (const auto& [tri, count] : faces) {
    if (OnBoxSurface(store, tri, 0, 10))
      EXPECT_EQ(count, 1);
    else
      EXPECT_EQ(count, 2);
  }
  EXPECT_EQ(std::count_if(faces.begin(), faces.end(), [](auto& f) { return f.second == 1; }), 6 * 8);
  EXPECT_NEAR(volume, 1000.0, 1e-6);
}

TEST(DividedCuboid, TwoBlocksKeepTheFirstBlocksNearCornersThenTheSecondBlock) {
  ModelStore store;
  CuboidParams p = Divided(2, 1, 1);
  p.MergeFlag = false;
  CommandOutcome outcome = AppendDividedCuboid(store, p);
  EXPECT_FALSE(outcome.message);
  ASSERT_EQ(store.NodeCount, 12);
  EXPECT_EQ(store.ElementCount, 12);
  const NodeRow expected[13] = {{},         {0, 0, 0},   {0, 0, 10}, {0, 10, 0},  {0, 10, 10}, {5, 0, 0},   {5, 0, 10},
                                {10, 0, 0}, {10, 0, 10}, {5, 10, 0}, {5, 10, 10}, {10, 10, 0}, {10, 10, 10}};
  for (int n = 1; n <= 12; ++n) {
    EXPECT_EQ(store.Nodes[n].x, expected[n].x) << n;
    EXPECT_EQ(store.Nodes[n].y, expected[n].y) << n;
    EXPECT_EQ(store.Nodes[n].z, expected[n].z) << n;
  }
  // Block 1's far corners 3, 4, 7, 8 became block 2's corners 1, 2, 5, 6.
  EXPECT_EQ(NodesOf(store, 1), (std::array<int, 4>{1, 2, 6, 10}));
  EXPECT_EQ(NodesOf(store, 7), (std::array<int, 4>{5, 6, 8, 12}));
}

TEST(DividedCuboid, OneBlockEqualsTheCuboidCommand) {
  ModelStore divided, plain;
  CuboidParams p = Divided(1, 1, 1);
  p.OriginX = -2.5f;
  p.SizeY = 3;
  p.MaterialNumber = 2;
  divided.MaterialCount = plain.MaterialCount = 2;
  AppendDividedCuboid(divided, p);
  AppendCuboid(plain, p);
  ASSERT_EQ(divided.NodeCount, 8);
  ASSERT_EQ(plain.NodeCount, 8);
  ASSERT_EQ(divided.ElementCount, plain.ElementCount);
  for (int n = 1; n <= 8; ++n) {
    EXPECT_EQ(divided.Nodes[n].x, plain.Nodes[n].x);
    EXPECT_EQ(divided.Nodes[n].y, plain.Nodes[n].y);
    EXPECT_EQ(divided.Nodes[n].z, plain.Nodes[n].z);
  }
  for (int e = 1; e <= 6; ++e) {
    EXPECT_EQ(NodesOf(divided, e), NodesOf(plain, e));
    EXPECT_EQ(divided.Elements[e].material, 2);
  }
  EXPECT_EQ(plain.Nodes[8].x, 7.5f);
  EXPECT_EQ(plain.Nodes[8].y, 3.0f);
}

TEST(Cuboid, SecondCuboidAgainstTheFirstMergesOnlyWhenAsked) {
  ModelStore store;
  CuboidParams p;
  AppendCuboid(store, p);
  p.OriginX = 10;
  CommandOutcome merged = AppendCuboid(store, p);
  EXPECT_EQ(merged.message, RemovedNodesMessage(4));
  EXPECT_EQ(store.NodeCount, 12);
  // The new far-face corners follow the eight existing nodes.
  EXPECT_EQ(NodesOf(store, 7), (std::array<int, 4>{3, 4, 10, 12}));

  p.OriginX = 20;
  p.MergeFlag = false;
  CommandOutcome separate = AppendCuboid(store, p);
  EXPECT_FALSE(separate.message);
  EXPECT_EQ(store.NodeCount, 20);
}

TEST(DividedCuboid, RefusalsLeaveTheModelAsItWas) {
  ModelStore store;
  store.NodeCount = 650;
  store.ResultsValid = 1;
  // 650 + 16 nodes would exceed the degrees of freedom, though the fused
  // result would fit; only ResultsValid is cleared.
  CommandOutcome refused = AppendDividedCuboid(store, Divided(2, 1, 1));
  EXPECT_EQ(refused.message, ElementLimitMessage());
  EXPECT_FALSE(refused.repaint);
  EXPECT_EQ(store.NodeCount, 650);
  EXPECT_EQ(store.ResultsValid, 0);
  CuboidParams one = Divided(1, 1, 1);
  one.MergeFlag = false;  // the 650 nodes all lie at the origin
  AppendDividedCuboid(store, one);
  EXPECT_EQ(store.NodeCount, 658);

  // Division counts below 1 are refused before anything changes.
  for (auto [nx, ny, nz] : {std::array{0, 2, 2}, std::array{2, -1, 2}, std::array{2, 2, 0}}) {
    store.ResultsValid = 1;
    CommandOutcome bad = AppendDividedCuboid(store, Divided(nx, ny, nz));
    EXPECT_EQ(bad.message, (UserMessage{"Złe parametry prostopadłościanu", "Prostopadłościan", MessageStyle::Plain}));
    EXPECT_EQ(store.NodeCount, 658);
    EXPECT_EQ(store.ResultsValid, 1);
  }
  // Huge counts must not wrap around into an accepted size: 65536 × 32768 ×
  // 2^30 blocks make 8 × 2^61 nodes, 0 modulo 2^64.
  for (auto [nx, ny, nz] : {std::array{65536, 65536, 2}, std::array{65536, 32768, 1073741824},
                            std::array{2147483647, 2147483647, 2147483647}, std::array{1, 1, 998}}) {
    ModelStore empty;
    CommandOutcome huge = AppendDividedCuboid(empty, Divided(nx, ny, nz));
    EXPECT_EQ(huge.message, ElementLimitMessage()) << nx << " " << ny << " " << nz;
    EXPECT_EQ(empty.NodeCount, 0);
    EXPECT_EQ(empty.ElementCount, 0);
  }
}

TEST(Cuboids, CornersBeyondTheFloatRangeAreRefused) {
  // Origin 3e38 and edge 3e38 put the far corner at infinity, and so does
  // 1.5e38 + 3e38, as one block or as the third of three.
  const UserMessage refusal{"Złe parametry prostopadłościanu", "Prostopadłościan", MessageStyle::Plain};
  for (const bool divided : {false, true}) {
    for (const auto& [origin, size, blocks] :
         {std::tuple{3e38f, 3e38f, 1}, std::tuple{-3e38f, -3e38f, 1}, std::tuple{1.5e38f, 3e38f, 3}}) {
      ModelStore store;
      NumberedNodes(store, 2);
      store.ResultsValid = 1;
      CuboidParams p = Divided(1, 1, blocks);
      p.OriginZ = origin;
      p.SizeZ = size;
      const CommandOutcome outcome = divided ? AppendDividedCuboid(store, p) : AppendCuboid(store, p);
      EXPECT_EQ(outcome.message, refusal) << origin << " " << size << " " << blocks;
      EXPECT_EQ(store.NodeCount, 2);
      EXPECT_EQ(store.ElementCount, 0);
      EXPECT_EQ(store.ResultsValid, 1);
    }
  }
}

TEST(DividedCuboid, LargestAllowedBlockCountBuildsASingleRow) {
  ModelStore store;
  AppendDividedCuboid(store, Divided(83, 1, 1));
  EXPECT_EQ(store.ElementCount, 6 * 83);
  EXPECT_EQ(store.NodeCount, 4 * 84);
}

TEST(Hexahedron, AllCornersAtTheOriginGiveDegenerateElements) {
  ModelStore store;
  HexahedronParams p;
  p.MergeFlag = false;
  CommandOutcome outcome = AppendHexahedron(store, p);
  EXPECT_FALSE(outcome.message);
  EXPECT_EQ(store.NodeCount, 8);
  EXPECT_EQ(store.ElementCount, 6);
  for (int e = 1; e <= 6; ++e) EXPECT_EQ(SignedVolume(store, e), 0.0);

  // With the merge flag the new corners fuse with the existing nodes.
  store.ResultsValid = 1;
  outcome = AppendHexahedron(store, HexahedronParams{});
  EXPECT_EQ(outcome.message, RemovedNodesMessage(8));
  EXPECT_EQ(store.NodeCount, 8);
  EXPECT_EQ(store.ElementCount, 12);
  EXPECT_EQ(store.ResultsValid, 0);
  EXPECT_EQ(NodesOf(store, 12), (std::array<int, 4>{1, 1, 1, 1}));
}

}  // namespace
}  // namespace qor
