#pragma once

#include <array>
#include <cstdint>

#include "model/ModelStore.h"
#include "platform/Prompts.h"
#include "view/FaceList.h"
#include "view/ViewState.h"

namespace qor {

// A projected face corner: screen x and y from ProjectPoint (model units, no
// fit to the window) and the depth.
struct TrianglePoint {
  float x = 0, y = 0, depth = 0;
};
using Triangle = std::array<TrianglePoint, 3>;

// Corners of face f (1..4) as positions among an element's four nodes, in the
// order that numbers the face's corners and edges.
inline constexpr int FaceCornerNodes[5][3] = {{0, 0, 0}, {1, 2, 3}, {2, 3, 4}, {1, 4, 3}, {1, 4, 2}};

/// Fills slots 1..4 × ElementCount with every element face, shared faces
/// marked 0, sorted by descending mean corner depth (stable). The corners are
/// the rows of `nodes` when given (the deformed shape), else the store's Nodes.
void DepthFaceOrder(const ModelStore& store, const ViewState& view, FaceList& list, const NodeTable* nodes = nullptr);

enum class ExactOrderResult {
  Exact,              // the list holds the outer faces in exact order
  NoModel,            // nothing to order; the list is untouched
  ModelTooLarge,      // more than 249 elements or 83 nodes: depth order, switch off
  TooManyOuterFaces,  // more than 200 outer faces: depth order for this paint
};

/// Drops shared faces, compares every pair of outer faces and places them so
/// that no face comes before one it lies in front of. Falls back to the depth
/// order for large models. Shows the busy cursor through `cursor` (may be null).
/// `nodes` as for DepthFaceOrder.
ExactOrderResult ExactFaceOrder(const ModelStore& store, const ViewState& view, FaceList& list, Prompts* cursor,
                                const NodeTable* nodes = nullptr);

/// 2 when A lies deeper than B at a common point of their projections, 1 when
/// A lies in front, 0 when no such point with a depth difference above 1e-6.
std::int32_t CompareFaces(const Triangle& a, const Triangle& b);

/// 1 when (px, py) lies inside the projected triangle (winding angle sum of at
/// least 180 degrees), else 0. The point must not coincide with a corner.
std::int32_t PointInTriangle(const Triangle& triangle, double px, double py);

// Capacities of the exact order's work tables.
inline constexpr int MaxOrderedFaces = 200;
inline constexpr int MaxWorkFaces = 999;
inline constexpr int MaxWorkPoints = 3999;

// The work tables of the exact order: one static instance, not re-entrant.
struct FaceOrderWork {
  std::int32_t FaceCount = 0;
  std::array<TrianglePoint, MaxWorkPoints + 1> FacePoints{};
  std::array<std::array<std::int32_t, 3>, MaxWorkFaces + 1> FaceCorners{};
  std::array<FaceEntry, MaxWorkFaces + 1> FaceWork{};
  // 0 no overlap, 1 row face in front of column face, 2 row face deeper,
  // 3 one of the two already placed.
  std::uint8_t FaceRelation[MaxOrderedFaces + 1][MaxOrderedFaces + 1] = {};
  std::array<std::int32_t, MaxOrderedFaces + 1> FaceOrder{};
  // Per face: unplaced faces it lies in front of (kept while placing).
  std::array<std::int32_t, MaxOrderedFaces + 1> FrontCount{};
};

FaceOrderWork& FaceOrderTables();

/// Relates every pair of faces 1..FaceCount and fills FaceOrder with a drawing
/// order in which each face comes after the faces it lies in front of.
void BuildFaceOrder(FaceOrderWork& work);

}  // namespace qor
