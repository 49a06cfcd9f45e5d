#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

#include "support/ScriptedPrompts.h"
#include "view/BlockModel.h"
#include "view/FaceOrder.h"
#include "view/Projection.h"

namespace qor {
namespace {

using FaceSet = std::set<std::pair<int, int>>;

// The (element, face) pairs that are drawn, and how many slots draw something.
FaceSet DrawnFaces(const ModelStore& store, const FaceList& list, int* drawnSlots = nullptr) {
  FaceSet faces;
  int slots = 0;
  for (int f = 1; f <= 4 * store.ElementCount; ++f) {
    if (list.Entries[f].face == 0) continue;
    faces.insert({list.Entries[f].element, list.Entries[f].face});
    ++slots;
  }
  if (drawnSlots) *drawnSlots = slots;
  return faces;
}

ViewState Isometric() {
  ViewState view;
  SetViewAngles(view, 4500, 31500, 0);
  return view;
}

void OneTetrahedron(ModelStore& store) { AddCornerTetrahedron(store); }

// Two tetrahedra glued on the face of nodes 2, 3, 4; the second one names a
// separate node 6 at the place of node 2, so only the coordinates tell.
void TwoTetrahedraSharingAFace(ModelStore& store) {
  OneTetrahedron(store);
  AddNode(store, 1, 1, 1);
  AddNode(store, 1, 0, 0);
  AddTetrahedron(store, 6, 3, 4, 5);
}

TEST(DepthFaceOrder, SortsFarthestFirstAndKeepsListOrderOnEqualDepths) {
  ModelStore store;
  OneTetrahedron(store);
  ViewState view;
  SetViewAngles(view, 0, 0, 0);  // seen from above: depth is -z, face 1 at 0, faces 2, 3, 4 at -1/3
  FaceList list;
  DepthFaceOrder(store, view, list);
  EXPECT_EQ(list.Entries[1], (FaceEntry{1, 1}));
  EXPECT_EQ(list.Entries[2], (FaceEntry{1, 2}));
  EXPECT_EQ(list.Entries[3], (FaceEntry{1, 3}));
  EXPECT_EQ(list.Entries[4], (FaceEntry{1, 4}));
  EXPECT_EQ(list.Depth[1], 0);
  EXPECT_FLOAT_EQ(list.Depth[4], -1.0f / 3);

  // Turned over: face 1 is now nearest and drawn last. (Node 3 at y = 1 leaks
  // into the depth through pi = 3.1415, so face 4 comes first.)
  SetViewAngles(view, 18000, 0, 0);
  DepthFaceOrder(store, view, list);
  EXPECT_EQ(list.Entries[1], (FaceEntry{1, 4}));
  EXPECT_EQ(list.Entries[4], (FaceEntry{1, 1}));

  // Corners at heights 0, 1, 2 and 4: each face has its own mean depth, so
  // each face's corners show. Face 1 (nodes 1 2 3) -1, face 2 (2 3 4) -7/3,
  // face 3 (1 4 3) -2, face 4 (1 4 2) -5/3.
  ModelStore steps;
  AddNode(steps, 0, 0, 0);
  AddNode(steps, 1, 0, 1);
  AddNode(steps, 0, 1, 2);
  AddNode(steps, 1, 1, 4);
  AddTetrahedron(steps, 1, 2, 3, 4);
  SetViewAngles(view, 0, 0, 0);
  DepthFaceOrder(steps, view, list);
  const std::pair<int, float> expected[] = {{1, -1.0f}, {4, -5.0f / 3}, {3, -2.0f}, {2, -7.0f / 3}};
  for (int s = 1; s <= 4; ++s) {
    EXPECT_EQ(list.Entries[s], (FaceEntry{1, expected[s - 1].first})) << s;
    EXPECT_FLOAT_EQ(list.Depth[s], expected[s - 1].second) << s;
  }
}

TEST(DepthFaceOrder, LeavesTheListAloneWithoutElementsOrNodes) {
  ModelStore store;
  FaceList list;
  list.Entries[1] = {9, 3};
  DepthFaceOrder(store, Isometric(), list);
  EXPECT_EQ(list.Entries[1], (FaceEntry{9, 3}));
  AddNode(store, 0, 0, 0);
  DepthFaceOrder(store, Isometric(), list);
  EXPECT_EQ(list.Entries[1], (FaceEntry{9, 3}));
}

TEST(FaceOrders, DropTheFaceSharedByTwoElements) {
  ModelStore store;
  TwoTetrahedraSharingAFace(store);
  const FaceSet outer = {{1, 1}, {1, 3}, {1, 4}, {2, 2}, {2, 3}, {2, 4}};
  FaceList list;
  int slots = 0;
  DepthFaceOrder(store, Isometric(), list);
  EXPECT_EQ(DrawnFaces(store, list, &slots), outer);
  EXPECT_EQ(slots, 6);

  FaceList exact;
  EXPECT_EQ(ExactFaceOrder(store, Isometric(), exact, nullptr), ExactOrderResult::Exact);
  EXPECT_EQ(DrawnFaces(store, exact, &slots), outer);
  EXPECT_EQ(slots, 6);
  EXPECT_EQ(exact.Entries[7].face, 0);
  EXPECT_EQ(exact.Entries[8].face, 0);
}

TEST(ExactFaceOrder, SingleTetrahedronDrawsAllFourFacesOnce) {
  ModelStore store;
  OneTetrahedron(store);
  FaceList list;
  ScriptedPrompts prompts;
  EXPECT_EQ(ExactFaceOrder(store, Isometric(), list, &prompts), ExactOrderResult::Exact);
  int slots = 0;
  EXPECT_EQ(DrawnFaces(store, list, &slots), (FaceSet{{1, 1}, {1, 2}, {1, 3}, {1, 4}}));
  EXPECT_EQ(slots, 4);
  EXPECT_EQ(prompts.busyCursor, (std::vector<bool>{true, false}));
}

TEST(ExactFaceOrder, PlacesTheFaceInFrontAfterTheFaceBehind) {
  // Two separate flat elements seen from above, along z: a large one at
  // z = -5 behind a small one at z = 1 that lies over it. The list order puts
  // the front one first; the exact order must draw it last.
  ModelStore store;
  AddNode(store, 0, 0, 1);
  AddNode(store, 1, 0, 1);
  AddNode(store, 0, 1, 1);
  AddNode(store, 0.2f, 0.2f, 1.001f);
  AddNode(store, -5, -5, -5);
  AddNode(store, 5, -5, -5);
  AddNode(store, 0, 5, -5);
  AddNode(store, 0.1f, 0.1f, -4.999f);
  AddTetrahedron(store, 1, 2, 3, 4);
  AddTetrahedron(store, 5, 6, 7, 8);
  ViewState view;
  SetViewAngles(view, 0, 0, 0);
  FaceList list;
  ASSERT_EQ(ExactFaceOrder(store, view, list, nullptr), ExactOrderResult::Exact);
  int lastBehind = 0, firstFront = 9;
  for (int s = 1; s <= 8; ++s) {
    ASSERT_NE(list.Entries[s].face, 0);
    if (list.Entries[s].element == 2) lastBehind = s;
    if (list.Entries[s].element == 1) firstFront = std::min(firstFront, s);
  }
  EXPECT_LT(lastBehind, firstFront);
}

TEST(ExactFaceOrder, LargeModelsFallBackToTheDepthOrder) {
  ScriptedPrompts prompts;
  ModelStore store;
  AddDividedBox(store, 0, 0, 0, 1, 1, 1, 7, 6, 1);  // 252 elements
  FaceList exact, depth;
  EXPECT_EQ(ExactFaceOrder(store, Isometric(), exact, &prompts), ExactOrderResult::ModelTooLarge);
  DepthFaceOrder(store, Isometric(), depth);
  EXPECT_TRUE(std::equal(exact.Entries.begin(), exact.Entries.begin() + 4 * 252 + 1, depth.Entries.begin()));
  EXPECT_EQ(prompts.busyCursor, (std::vector<bool>{true, false}));

  ModelStore nodes84;  // 84 nodes, 1 element
  OneTetrahedron(nodes84);
  while (nodes84.NodeCount < 84) AddNode(nodes84, 2, 2, static_cast<float>(nodes84.NodeCount));
  EXPECT_EQ(ExactFaceOrder(nodes84, Isometric(), exact, nullptr), ExactOrderResult::ModelTooLarge);
  nodes84.NodeCount = 83;
  EXPECT_EQ(ExactFaceOrder(nodes84, Isometric(), exact, nullptr), ExactOrderResult::Exact);
}

TEST(ExactFaceOrder, MoreThanTwoHundredOuterFacesUseTheDepthOrderForThatPaint) {
  // 51 elements over 60 nodes on a helix: no two faces share all corners, so
  // all 204 faces are outer ones.
  ModelStore store;
  for (int n = 0; n < 60; ++n) AddNode(store, std::cos(n * 0.7f) * 5, std::sin(n * 0.7f) * 5, n * 0.3f);
  for (int e = 0; e < 51; ++e) AddTetrahedron(store, 1 + e % 60, 1 + (e + 1) % 60, 1 + (e + 3) % 60, 1 + (e + 7) % 60);
  FaceList list;
  EXPECT_EQ(ExactFaceOrder(store, Isometric(), list, nullptr), ExactOrderResult::TooManyOuterFaces);
  EXPECT_EQ(FaceOrderTables().FaceCount, 204);
  store.ElementCount = 50;  // 200 faces: exact
  EXPECT_EQ(ExactFaceOrder(store, Isometric(), list, nullptr), ExactOrderResult::Exact);
  int slots = 0;
  EXPECT_EQ(DrawnFaces(store, list, &slots).size(), 200u);
  EXPECT_EQ(slots, 200);
}

TEST(ExactFaceOrder, NoElementsLeaveTheListAlone) {
  ModelStore store;
  AddNode(store, 0, 0, 0);
  FaceList list;
  list.Entries[1] = {4, 2};
  EXPECT_EQ(ExactFaceOrder(store, Isometric(), list, nullptr), ExactOrderResult::NoModel);
  EXPECT_EQ(list.Entries[1], (FaceEntry{4, 2}));
}

Triangle Flat(float x1, float y1, float x2, float y2, float x3, float y3, float depth) {
  return {TrianglePoint{x1, y1, depth}, TrianglePoint{x2, y2, depth}, TrianglePoint{x3, y3, depth}};
}

TEST(CompareFaces, OverlappingTrianglesAtDifferentDepthsInBothArgumentOrders) {
  const Triangle deep = Flat(0, 0, 4, 0, 0, 4, 10);
  const Triangle near = Flat(1, 1, 5, 1, 1, 5, 2);  // its first corner lies inside `deep`
  EXPECT_EQ(CompareFaces(deep, near), 2);
  EXPECT_EQ(CompareFaces(near, deep), 1);
}

TEST(CompareFaces, CrossingEdgesDecideWhenNoCornerLiesInTheOther) {
  // A six-pointed star: every corner lies outside the other triangle.
  const Triangle up = Flat(0, 0, 6, 0, 3, 5, 1);
  const Triangle down = Flat(0, 3, 6, 3, 3, -2, 4);
  EXPECT_EQ(CompareFaces(up, down), 1);
  EXPECT_EQ(CompareFaces(down, up), 2);
}

TEST(CompareFaces, CornerOnAnEdgeComparesWithTheEdgeDepthThere) {
  const Triangle base = {TrianglePoint{0, 0, 0}, TrianglePoint{4, 0, 8}, TrianglePoint{0, 4, 0}};
  // Its first corner sits on the middle of base's first edge, where base has depth 4.
  EXPECT_EQ(CompareFaces(Flat(2, 0, 3, -3, 1, -3, 5), base), 2);
  EXPECT_EQ(CompareFaces(Flat(2, 0, 3, -3, 1, -3, 3), base), 1);
}

TEST(CompareFaces, ApartOrTouchingAtASharedCornerIsNoRelation) {
  const Triangle a = Flat(0, 0, 1, 0, 0, 1, 0);
  EXPECT_EQ(CompareFaces(a, Flat(5, 5, 6, 5, 5, 6, 3)), 0);
  EXPECT_EQ(CompareFaces(Flat(5, 5, 6, 5, 5, 6, 3), a), 0);
  // Same corner at the same depth, the rest apart: nothing decides.
  EXPECT_EQ(CompareFaces(a, Flat(0, 0, -1, 0, 0, -1, 0)), 0);
  // Same corner, different depths: the corner decides.
  EXPECT_EQ(CompareFaces(a, Flat(0, 0, -1, 0, 0, -1, 2)), 1);
}

TEST(PointInTriangle, InsideWhicheverWayTheCornersRun) {
  const Triangle anticlockwise = Flat(0, 0, 4, 0, 0, 4, 0);
  const Triangle clockwise = Flat(0, 0, 0, 4, 4, 0, 0);
  EXPECT_EQ(PointInTriangle(anticlockwise, 1, 1), 1);
  EXPECT_EQ(PointInTriangle(clockwise, 1, 1), 1);
  EXPECT_EQ(PointInTriangle(anticlockwise, 3, 3), 0);
  EXPECT_EQ(PointInTriangle(clockwise, -1, 0.5), 0);
  // On an edge the straight angle counts as negative: the sum is 0 for the
  // anticlockwise triangle and -360 for the clockwise one.
  EXPECT_EQ(PointInTriangle(anticlockwise, 2, 0), 0);
  EXPECT_EQ(PointInTriangle(clockwise, 2, 0), 1);
  EXPECT_EQ(PointInTriangle(anticlockwise, 2, 2), 0);
  EXPECT_EQ(PointInTriangle(clockwise, 0, 2), 1);
}

// The plain angle sum, for comparison with the shortcut taken away from edges.
std::int32_t AngleSumInside(const Triangle& t, double px, double py) {
  double sum = 0;
  for (int k = 0; k < 3; ++k) {
    const double ux = t[k].x - px, uy = t[k].y - py;
    const double vx = t[(k + 1) % 3].x - px, vy = t[(k + 1) % 3].y - py;
    const double c = std::clamp((ux * vx + uy * vy) / (std::hypot(ux, uy) * std::hypot(vx, vy)), -1.0, 1.0);
    const double angle = std::acos(c) * 180 / 3.141592653589793;
    sum += ux * vy - uy * vx > 0 ? angle : -angle;
  }
  return std::fabs(sum) >= 180 ? 1 : 0;
}

TEST(PointInTriangle, AgreesWithTheAngleSumAllOverAGrid) {
  const Triangle triangles[] = {Flat(0, 0, 4, 0, 0, 4, 0), Flat(0.3f, -1, -2.5f, 3, 5, 2.25f, 0),
                                Flat(1000, 1000, 1000.5f, 1000, 1000, 1003, 0)};
  for (const Triangle& t : triangles) {
    for (int i = -10; i <= 60; ++i) {
      for (int j = -10; j <= 60; ++j) {
        const double px = t[0].x - 3 + i * 0.125, py = t[0].y - 3 + j * 0.125;
        bool atCorner = false;
        for (const TrianglePoint& c : t) atCorner = atCorner || (c.x == px && c.y == py);
        if (atCorner) continue;
        EXPECT_EQ(PointInTriangle(t, px, py), AngleSumInside(t, px, py)) << px << ", " << py;
      }
    }
  }
}

// Faces given directly to BuildFaceOrder.
void SetFaces(FaceOrderWork& work, const std::vector<Triangle>& faces) {
  work.FaceCount = static_cast<int>(faces.size());
  for (size_t f = 0; f < faces.size(); ++f) {
    for (int c = 0; c < 3; ++c) {
      const int point = static_cast<int>(3 * f + c + 1);
      work.FacePoints[point] = faces[f][c];
      work.FaceCorners[f + 1][c] = point;
    }
  }
}

std::vector<int> Order(const FaceOrderWork& work) {
  return std::vector<int>(work.FaceOrder.begin() + 1, work.FaceOrder.begin() + work.FaceCount + 1);
}

TEST(BuildFaceOrder, UnrelatedFacesGoHighestNumberFirst) {
  FaceOrderWork& work = FaceOrderTables();
  SetFaces(work, {Flat(0, 0, 1, 0, 0, 1, 0), Flat(5, 0, 6, 0, 5, 1, 0), Flat(10, 0, 11, 0, 10, 1, 0)});
  BuildFaceOrder(work);
  EXPECT_EQ(Order(work), (std::vector<int>{3, 2, 1}));
}

TEST(BuildFaceOrder, FaceBehindComesFirstWhateverItsNumber) {
  FaceOrderWork& work = FaceOrderTables();
  // Face 3 lies in front of face 1; face 2 stands apart.
  SetFaces(work, {Flat(0, 0, 4, 0, 0, 4, 10), Flat(20, 0, 21, 0, 20, 1, 0), Flat(1, 1, 5, 1, 1, 5, 2)});
  BuildFaceOrder(work);
  EXPECT_EQ(Order(work), (std::vector<int>{2, 1, 3}));
}

// A thin wedge from `from` to `to`, deep (10) at its start and shallow (0) at its end.
Triangle Plank(float x1, float y1, float x2, float y2) {
  const float length = std::hypot(x2 - x1, y2 - y1);
  const float nx = -(y2 - y1) / length * 0.6f, ny = (x2 - x1) / length * 0.6f;
  return {TrianglePoint{x1, y1, 10}, TrianglePoint{x2, y2, 0}, TrianglePoint{x2 + nx, y2 + ny, 0}};
}

TEST(BuildFaceOrder, CyclicOverlapsStillPlaceEveryFaceOnce) {
  // Three planks around a triangle, each lying over the next where they cross.
  const Triangle a = Plank(-2, 0, 12, 0);
  const Triangle b = Plank(11, -1.6f, 4, 9.6f);
  const Triangle c = Plank(6, 9.6f, -1, -1.6f);
  ASSERT_EQ(CompareFaces(a, b), 1);
  ASSERT_EQ(CompareFaces(b, c), 1);
  ASSERT_EQ(CompareFaces(c, a), 1);
  FaceOrderWork& work = FaceOrderTables();
  SetFaces(work, {a, b, c, Flat(30, 0, 31, 0, 30, 1, 0)});
  BuildFaceOrder(work);
  // Face 4 is free and goes first. Faces 1..3 each wait for one other face:
  // the highest, 3, breaks the cycle; then 2 (nothing left in front of it is
  // waiting) and 1.
  EXPECT_EQ(Order(work), (std::vector<int>{4, 3, 2, 1}));
}

}  // namespace
}  // namespace qor
