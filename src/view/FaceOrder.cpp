#include "view/FaceOrder.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "view/Projection.h"

namespace qor {
namespace {

constexpr double Tolerance = 1e-6;

// Projected point and point identity per node, shared by both orders. Two
// nodes get the same id exactly when their projected points are equal in
// screen x, screen y and depth (plain float equality, so -0 equals 0 and a
// point with a NaN equals nothing).
struct NodePoints {
  std::array<TrianglePoint, NodeCapacity + 1> point{};
  std::array<std::int32_t, NodeCapacity + 1> id{};
  std::array<std::int32_t, NodeCapacity + 1> sorted{};
};
NodePoints nodePoints;

bool HasNaN(const TrianglePoint& p) { return std::isnan(p.x) || std::isnan(p.y) || std::isnan(p.depth); }

bool PointLess(const TrianglePoint& a, const TrianglePoint& b) {
  if (a.x != b.x) return a.x < b.x;
  if (a.y != b.y) return a.y < b.y;
  return a.depth < b.depth;
}

bool PointEqual(const TrianglePoint& a, const TrianglePoint& b) {
  return a.x == b.x && a.y == b.y && a.depth == b.depth;
}

// Every row of Nodes is projected, so an element that names a row beyond
// NodeCount still reads a point of this paint.
void ProjectNodes(const NodeTable& nodes, const ViewRotation& rotation) {
  const int count = NodeCapacity;
  int sortedCount = 0;
  int nextId = 0;
  for (int n = 0; n <= count; ++n) {
    const NodeRow& node = nodes[n];
    const ProjectedPoint p = ProjectPoint(rotation, node.x, node.y, node.z);
    nodePoints.point[n] = {p.X, p.Y, DepthOf(rotation, node.x, node.y, node.z)};
    if (HasNaN(nodePoints.point[n]))
      nodePoints.id[n] = nextId++;
    else
      nodePoints.sorted[sortedCount++] = n;
  }
  std::int32_t* first = nodePoints.sorted.data();
  std::sort(first, first + sortedCount,
            [](std::int32_t a, std::int32_t b) { return PointLess(nodePoints.point[a], nodePoints.point[b]); });
  for (int i = 0; i < sortedCount; ++i) {
    const int n = nodePoints.sorted[i];
    if (i == 0 || !PointEqual(nodePoints.point[nodePoints.sorted[i - 1]], nodePoints.point[n])) ++nextId;
    nodePoints.id[n] = nextId;
  }
}

// Point ids run from 0 to at most one more than the number of rows.
constexpr int MaxPointId = NodeCapacity + 2;

// Point ids of the corners of every face slot 1..faceCount.
std::array<std::array<std::int32_t, 3>, FaceCapacity + 1> faceIds;

void FaceIdsOfElements(const ModelStore& store) {
  for (int e = 1; e <= store.ElementCount; ++e) {
    const ElementRow& element = store.Elements[e];
    for (int f = 1; f <= 4; ++f) {
      auto& ids = faceIds[4 * e - 4 + f];
      for (int c = 0; c < 3; ++c) ids[c] = nodePoints.id[SafeNodeRow(element.node[FaceCornerNodes[f][c]])];
    }
  }
}

// Two faces are shared when exactly three of the nine pairs (corner of one,
// corner of the other) are the same point. Pairs without a common point
// count 0, so only faces meeting at some point are compared: the faces are
// listed per point and each face looks at the faces of its own corners.
std::array<std::int32_t, MaxPointId + 2> pointStart;
std::array<std::int32_t, 3 * FaceCapacity> pointFaces;
std::array<std::int32_t, FaceCapacity + 1> lastVisitor;

void MarkSharedFaces(int faceCount, std::array<bool, FaceCapacity + 1>& shared) {
  pointStart.fill(0);
  auto forEachDistinctId = [](const std::array<std::int32_t, 3>& ids, auto&& action) {
    action(ids[0]);
    if (ids[1] != ids[0]) action(ids[1]);
    if (ids[2] != ids[0] && ids[2] != ids[1]) action(ids[2]);
  };
  for (int i = 1; i <= faceCount; ++i) forEachDistinctId(faceIds[i], [](int id) { ++pointStart[id + 1]; });
  for (int id = 1; id <= MaxPointId + 1; ++id) pointStart[id] += pointStart[id - 1];
  // Filling advances each start to the next id's start; shifted back below.
  for (int i = 1; i <= faceCount; ++i) forEachDistinctId(faceIds[i], [i](int id) { pointFaces[pointStart[id]++] = i; });
  for (int id = MaxPointId + 1; id >= 1; --id) pointStart[id] = pointStart[id - 1];
  pointStart[0] = 0;

  for (int i = 1; i <= faceCount; ++i) {
    shared[i] = false;
    lastVisitor[i] = 0;
  }
  for (int i = 1; i <= faceCount; ++i) {
    const auto& a = faceIds[i];
    forEachDistinctId(a, [&](int id) {
      for (int p = pointStart[id]; p < pointStart[id + 1]; ++p) {
        const int j = pointFaces[p];
        if (j <= i || lastVisitor[j] == i) continue;
        lastVisitor[j] = i;
        const auto& b = faceIds[j];
        int equal = 0;
        for (int k = 0; k < 3; ++k)
          for (int l = 0; l < 3; ++l) equal += a[k] == b[l];
        if (equal == 3) shared[i] = shared[j] = true;
      }
    });
  }
}

std::array<bool, FaceCapacity + 1> sharedFace;
std::array<std::int32_t, FaceCapacity + 1> sortOrder;
std::array<FaceEntry, FaceCapacity + 1> sortedEntries;
std::array<float, FaceCapacity + 1> sortedDepth;

// Sort key of a depth: a NaN (from non-finite coordinates) sorts as the least
// deep, so the comparison stays a strict order.
float SortDepth(float depth) { return std::isnan(depth) ? -std::numeric_limits<float>::infinity() : depth; }

}  // namespace

void DepthFaceOrder(const ModelStore& store, const ViewState& view, FaceList& list, const NodeTable* nodes) {
  if (store.ElementCount <= 0 || store.NodeCount <= 0) return;
  const int elements = std::min(store.ElementCount, FaceCapacity / 4);
  const int slots = 4 * elements;
  ProjectNodes(nodes ? *nodes : store.Nodes, RotationOf(view));

  const float third = 1.0f / 3.0f;
  for (int e = 1; e <= elements; ++e) {
    const ElementRow& element = store.Elements[e];
    float d[5];
    for (int c = 1; c <= 4; ++c) d[c] = nodePoints.point[SafeNodeRow(element.node[c])].depth;
    list.Depth[4 * e - 3] = (d[1] + d[2] + d[3]) * third;
    list.Depth[4 * e - 2] = (d[2] + d[3] + d[4]) * third;
    list.Depth[4 * e - 1] = (d[1] + d[4] + d[3]) * third;
    list.Depth[4 * e] = (d[1] + d[4] + d[2]) * third;
    for (int f = 1; f <= 4; ++f) list.Entries[4 * e - 4 + f] = {e, f};
  }
  FaceIdsOfElements(store);
  MarkSharedFaces(slots, sharedFace);
  for (int i = 1; i <= slots; ++i)
    if (sharedFace[i]) list.Entries[i].face = 0;

  // Deepest first; equal depths keep their list order.
  for (int i = 1; i <= slots; ++i) sortOrder[i] = i;
  std::sort(sortOrder.begin() + 1, sortOrder.begin() + slots + 1, [&list](std::int32_t a, std::int32_t b) {
    const float da = SortDepth(list.Depth[a]);
    const float db = SortDepth(list.Depth[b]);
    return da != db ? da > db : a < b;
  });
  for (int i = 1; i <= slots; ++i) {
    sortedEntries[i] = list.Entries[sortOrder[i]];
    sortedDepth[i] = list.Depth[sortOrder[i]];
  }
  std::copy(sortedEntries.begin() + 1, sortedEntries.begin() + slots + 1, list.Entries.begin() + 1);
  std::copy(sortedDepth.begin() + 1, sortedDepth.begin() + slots + 1, list.Depth.begin() + 1);
}

FaceOrderWork& FaceOrderTables() {
  static FaceOrderWork work;
  return work;
}

namespace {

// Shows the busy cursor for the lifetime of the object.
class BusyCursor {
 public:
  explicit BusyCursor(Prompts* prompts) : prompts_(prompts) {
    if (prompts_) prompts_->SetBusyCursor(true);
  }
  ~BusyCursor() {
    if (prompts_) prompts_->SetBusyCursor(false);
  }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  Prompts* prompts_;
};

}  // namespace

ExactOrderResult ExactFaceOrder(const ModelStore& store, const ViewState& view, FaceList& list, Prompts* cursor,
                                const NodeTable* nodes) {
  const BusyCursor busy(cursor);
  // The work tables hold twelve points per element and 999 face slots.
  if (4 * store.ElementCount >= 1000 || 12 * store.NodeCount >= 1000) {
    DepthFaceOrder(store, view, list, nodes);
    return ExactOrderResult::ModelTooLarge;
  }
  if (store.ElementCount <= 0 || store.NodeCount <= 0) return ExactOrderResult::NoModel;

  FaceOrderWork& work = FaceOrderTables();
  ProjectNodes(nodes ? *nodes : store.Nodes, RotationOf(view));
  int count = 4 * store.ElementCount;
  static constexpr int PointNodes[12] = {1, 2, 3, 2, 3, 4, 1, 4, 3, 1, 4, 2};
  for (int e = 1; e <= store.ElementCount; ++e) {
    const ElementRow& element = store.Elements[e];
    const int base = 12 * (e - 1);
    for (int p = 0; p < 12; ++p)
      work.FacePoints[base + p + 1] = nodePoints.point[SafeNodeRow(element.node[PointNodes[p]])];
    for (int m = 0; m < 4; ++m) {
      const int slot = 4 * e - 3 + m;
      work.FaceCorners[slot] = {base + 3 * m + 1, base + 3 * m + 2, base + 3 * m + 3};
      work.FaceWork[slot] = {e, m + 1};
    }
  }
  FaceIdsOfElements(store);
  MarkSharedFaces(count, sharedFace);

  // Keep the outer faces, in their order.
  int kept = 0;
  for (int i = 1; i <= count; ++i) {
    if (sharedFace[i]) continue;
    ++kept;
    work.FaceWork[kept] = work.FaceWork[i];
    work.FaceCorners[kept] = work.FaceCorners[i];
  }
  count = kept;
  work.FaceCount = count;

  if (count > MaxOrderedFaces) {
    DepthFaceOrder(store, view, list, nodes);
    return ExactOrderResult::TooManyOuterFaces;
  }
  BuildFaceOrder(work);
  for (int f = 1; f <= 4 * store.ElementCount; ++f) list.Entries[f].face = 0;
  for (int s = 1; s <= count; ++s) list.Entries[s] = work.FaceWork[work.FaceOrder[s]];
  return ExactOrderResult::Exact;
}

void BuildFaceOrder(FaceOrderWork& work) {
  const int n = std::clamp(work.FaceCount, 0, MaxOrderedFaces);
  auto& relation = work.FaceRelation;
  for (int i = 1; i <= n; ++i) {
    work.FaceOrder[i] = i;
    relation[i][i] = 0;
  }
  auto triangleOf = [&work](int face) {
    Triangle t;
    for (int c = 0; c < 3; ++c) t[c] = work.FacePoints[work.FaceCorners[face][c]];
    return t;
  };
  for (int i = 1; i < n; ++i) {
    const Triangle a = triangleOf(i);
    for (int j = i + 1; j <= n; ++j) {
      const std::int32_t r = CompareFaces(a, triangleOf(j));
      relation[i][j] = static_cast<std::uint8_t>(r);
      relation[j][i] = static_cast<std::uint8_t>(r == 0 ? 0 : 3 - r);
    }
  }
  for (int j = 1; j <= n; ++j) {
    int front = 0;
    for (int k = 1; k <= n; ++k) front += relation[j][k] == 1;
    work.FrontCount[j] = front;
  }

  // Each position takes, among the faces not yet placed, one that lies in front
  // of no face still waiting (nothing that must be drawn before it remains);
  // among several, the highest-numbered. Faces overlapping in a cycle leave no
  // such face; then the face in front of the fewest waiting faces is taken
  // (again the highest-numbered on a tie), which breaks the cycle where it
  // hides the least. Both cases are one rule: fewest waiting faces in front of,
  // highest number first, so every face is placed exactly once.
  for (int s = 1; s <= n; ++s) {
    int chosen = 0;
    int fewest = std::numeric_limits<int>::max();
    for (int j = n; j >= 1; --j) {
      if (relation[j][j] == 3) continue;  // placed
      if (work.FrontCount[j] < fewest) {
        fewest = work.FrontCount[j];
        chosen = j;
        if (fewest == 0) break;
      }
    }
    work.FaceOrder[s] = chosen;
    for (int j = 1; j <= n; ++j) {
      if (relation[j][j] != 3 && relation[j][chosen] == 1) --work.FrontCount[j];
    }
    for (int k = 1; k <= n; ++k) relation[chosen][k] = relation[k][chosen] = 3;
  }
}

namespace {

double Distance(double ax, double ay, double bx, double by) {
  const double dx = bx - ax;
  const double dy = by - ay;
  return std::sqrt(dx * dx + dy * dy);
}

// Where a corner P of one face stands against the other face T: +1 when P lies
// deeper than T at P's projected position, -1 when it lies in front, 0 when
// undecided. `edgeGap` carries the distances of feet found on T's edges across
// the corners of one face.
int CornerAgainstFace(const TrianglePoint& p, const Triangle& t, bool cornerTest, double edgeGap[3]) {
  const double px = p.x, py = p.y, pz = p.depth;
  auto decide = [pz](double z) { return pz > z ? 1 : -1; };
  if (cornerTest) {
    for (const TrianglePoint& q : t) {
      if (Distance(px, py, q.x, q.y) < Tolerance && std::fabs(pz - q.depth) > Tolerance) return decide(q.depth);
    }
  }
  for (int k = 0; k < 3; ++k) {
    const TrianglePoint& b1 = t[k];
    const TrianglePoint& b2 = t[(k + 1) % 3];
    const double dx = static_cast<double>(b2.x) - b1.x;
    const double dy = static_cast<double>(b2.y) - b1.y;
    const double length2 = dx * dx + dy * dy;
    if (length2 == 0) continue;
    const double along = ((px - b1.x) * dx + (py - b1.y) * dy) / length2;
    const double fx = b1.x + along * dx;
    const double fy = b1.y + along * dy;
    const double length = std::sqrt(length2);
    const double d1 = Distance(b1.x, b1.y, fx, fy);
    const double d2 = Distance(b2.x, b2.y, fx, fy);
    if (!(d1 < length && d2 < length)) continue;
    edgeGap[k] = Distance(px, py, fx, fy);
    if (edgeGap[k] < Tolerance) {
      const double zf = b1.depth + (static_cast<double>(b2.depth) - b1.depth) * d1 / length;
      if (std::fabs(pz - zf) > Tolerance) return decide(zf);
    }
  }
  if (!(edgeGap[0] > Tolerance && edgeGap[1] > Tolerance && edgeGap[2] > Tolerance)) return 0;
  for (const TrianglePoint& q : t)
    if (!(Distance(px, py, q.x, q.y) > Tolerance)) return 0;
  if (PointInTriangle(t, px, py) != 1) return 0;
  // Depth of the plane through T's corners at P's projected position.
  const double ux = static_cast<double>(t[1].x) - t[0].x, uy = static_cast<double>(t[1].y) - t[0].y,
               uz = static_cast<double>(t[1].depth) - t[0].depth;
  const double vx = static_cast<double>(t[2].x) - t[0].x, vy = static_cast<double>(t[2].y) - t[0].y,
               vz = static_cast<double>(t[2].depth) - t[0].depth;
  const double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
  if (nz == 0) return 0;
  const double zp = t[0].depth - (nx * (px - t[0].x) + ny * (py - t[0].y)) / nz;
  if (std::fabs(pz - zp) > Tolerance) return decide(zp);
  return 0;
}

// True when the projections of the two faces lie apart by more than the
// tolerance: every test below needs a common point (within 1e-6), so such
// faces are unrelated and the pair is settled without the full tests.
bool ProjectionsApart(const Triangle& a, const Triangle& b) {
  float aMinX = a[0].x, aMaxX = a[0].x, aMinY = a[0].y, aMaxY = a[0].y;
  float bMinX = b[0].x, bMaxX = b[0].x, bMinY = b[0].y, bMaxY = b[0].y;
  float largest = 0;
  for (int c = 0; c < 3; ++c) {
    aMinX = std::min(aMinX, a[c].x), aMaxX = std::max(aMaxX, a[c].x);
    aMinY = std::min(aMinY, a[c].y), aMaxY = std::max(aMaxY, a[c].y);
    bMinX = std::min(bMinX, b[c].x), bMaxX = std::max(bMaxX, b[c].x);
    bMinY = std::min(bMinY, b[c].y), bMaxY = std::max(bMaxY, b[c].y);
    largest = std::max({largest, std::fabs(a[c].x), std::fabs(a[c].y), std::fabs(b[c].x), std::fabs(b[c].y)});
  }
  // Room for the rounding of the feet and crossings computed from these points.
  const double margin = 2 * Tolerance + 1e-9 * largest;
  return aMaxX + margin < bMinX || bMaxX + margin < aMinX || aMaxY + margin < bMinY || bMaxY + margin < aMinY;
}

}  // namespace

std::int32_t CompareFaces(const Triangle& a, const Triangle& b) {
  if (ProjectionsApart(a, b)) return 0;
  double edgeGap[3] = {0, 0, 0};
  for (const TrianglePoint& p : a) {
    const int side = CornerAgainstFace(p, b, true, edgeGap);
    if (side != 0) return side > 0 ? 2 : 1;
  }
  edgeGap[0] = edgeGap[1] = edgeGap[2] = 0;
  for (const TrianglePoint& q : b) {
    const int side = CornerAgainstFace(q, a, false, edgeGap);
    if (side != 0) return side > 0 ? 1 : 2;
  }
  for (int i = 0; i < 3; ++i) {
    const TrianglePoint& a1 = a[i];
    const TrianglePoint& a2 = a[(i + 1) % 3];
    const double rx = static_cast<double>(a2.x) - a1.x, ry = static_cast<double>(a2.y) - a1.y;
    for (int k = 0; k < 3; ++k) {
      const TrianglePoint& b1 = b[k];
      const TrianglePoint& b2 = b[(k + 1) % 3];
      const double qx = static_cast<double>(b2.x) - b1.x, qy = static_cast<double>(b2.y) - b1.y;
      const double det = rx * qy - ry * qx;
      if (det == 0) continue;
      const double t = ((static_cast<double>(b1.x) - a1.x) * qy - (static_cast<double>(b1.y) - a1.y) * qx) / det;
      const double xx = a1.x + t * rx, xy = a1.y + t * ry;
      const double lengthA = std::sqrt(rx * rx + ry * ry);
      const double lengthB = std::sqrt(qx * qx + qy * qy);
      const double a1x = Distance(a1.x, a1.y, xx, xy);
      const double b1x = Distance(b1.x, b1.y, xx, xy);
      if (!(a1x < lengthA && Distance(a2.x, a2.y, xx, xy) < lengthA && b1x < lengthB &&
            Distance(b2.x, b2.y, xx, xy) < lengthB))
        continue;
      const double za = a1.depth + (static_cast<double>(a2.depth) - a1.depth) * a1x / lengthA;
      const double zb = b1.depth + (static_cast<double>(b2.depth) - b1.depth) * b1x / lengthB;
      if (std::fabs(za - zb) > Tolerance) return za > zb ? 2 : 1;
    }
  }
  return 0;
}

namespace {

// The side of each edge line on which (px, py) lies, when it lies clearly off
// all three lines: then the point is plainly inside (winding angle sum ±360)
// or outside (sum 0) and the angles need not be summed. Points on or next to
// an edge line return nothing and are left to the angle sum, whose result
// there depends on the exact angles.
std::optional<std::int32_t> ClearlyInsideOrOutside(const Triangle& t, double px, double py) {
  const double area = (static_cast<double>(t[1].x) - t[0].x) * (static_cast<double>(t[2].y) - t[0].y) -
                      (static_cast<double>(t[1].y) - t[0].y) * (static_cast<double>(t[2].x) - t[0].x);
  if (area == 0) return std::nullopt;
  double scale = std::max(std::fabs(px), std::fabs(py));
  for (const TrianglePoint& corner : t)
    scale = std::max({scale, std::fabs(double{corner.x}), std::fabs(double{corner.y})});
  const double margin = 1e-9 * scale + 1e-12;
  bool inside = true;
  for (int k = 0; k < 3; ++k) {
    const TrianglePoint& a = t[k];
    const TrianglePoint& b = t[(k + 1) % 3];
    const double ex = static_cast<double>(b.x) - a.x, ey = static_cast<double>(b.y) - a.y;
    const double length = std::sqrt(ex * ex + ey * ey);
    const double side = (ex * (py - a.y) - ey * (px - a.x)) / length;  // signed distance from the line
    if (!(std::fabs(side) > margin)) return std::nullopt;
    if ((side > 0) != (area > 0)) inside = false;
  }
  return inside ? 1 : 0;
}

}  // namespace

std::int32_t PointInTriangle(const Triangle& triangle, double px, double py) {
  if (const std::optional<std::int32_t> plain = ClearlyInsideOrOutside(triangle, px, py)) return *plain;
  constexpr double Pi = 3.141592653589793;
  double sum = 0;
  for (int k = 0; k < 3; ++k) {
    const TrianglePoint& start = triangle[k];
    const TrianglePoint& end = triangle[(k + 1) % 3];
    const double ux = start.x - px, uy = start.y - py;
    const double vx = end.x - px, vy = end.y - py;
    double c = (ux * vx + uy * vy) / (std::sqrt(ux * ux + uy * uy) * std::sqrt(vx * vx + vy * vy));
    c = std::clamp(c, -1.0, 1.0);
    const double angle = std::acos(c) * 180.0 / Pi;
    sum += ux * vy - uy * vx > 0 ? angle : -angle;
  }
  return std::fabs(sum) >= 180 ? 1 : 0;
}

}  // namespace qor
