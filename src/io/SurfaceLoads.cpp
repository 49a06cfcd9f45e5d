#include "io/SurfaceLoads.h"

#include <algorithm>
#include <cmath>

namespace qor {

namespace {

// The corners of the face opposite corner k (1..4) of a tetrahedron, and that corner.
constexpr int kFaceCorners[5][4] = {{0, 0, 0, 0}, {2, 3, 4, 1}, {1, 3, 4, 2}, {1, 2, 4, 3}, {1, 2, 3, 4}};

std::array<double, 3> Point(const SolidModel& model, std::int32_t node) {
  const NodeRow& p = model.Nodes[static_cast<std::size_t>(node)];
  return {p.x, p.y, p.z};
}

std::array<double, 3> Cross(const std::array<double, 3>& u, const std::array<double, 3>& v) {
  return {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
}

double Length(const std::array<double, 3>& v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

// A face as a tetrahedron has it, with the corner opposite it, before the
// boundary test.
struct ElementFace {
  FaceKey key;
  std::array<std::int32_t, 3> corners;
  std::int32_t opposite;
  std::int32_t element;
};

// The face's corners turned so that their normal points away from the corner
// opposite it, that is out of the tetrahedron.
std::array<std::int32_t, 3> Outward(const SolidModel& model, const ElementFace& face) {
  const std::array<double, 3> a = Point(model, face.corners[0]);
  const std::array<double, 3> d = Point(model, face.opposite);
  const std::array<double, 3> n = DoubleAreaVector(model, face.corners);
  const double side = n[0] * (d[0] - a[0]) + n[1] * (d[1] - a[1]) + n[2] * (d[2] - a[2]);
  if (side > 0) return {face.corners[0], face.corners[2], face.corners[1]};
  return face.corners;
}

}  // namespace

FaceKey KeyOf(const std::array<std::int32_t, 3>& corners) {
  FaceKey key = corners;
  std::sort(key.begin(), key.end());
  return key;
}

std::vector<BoundaryFace> FindBoundaryFaces(const SolidModel& model) {
  std::vector<ElementFace> faces;
  faces.reserve(4 * static_cast<std::size_t>(model.ElementCount()));
  for (std::int32_t e = 1; e <= model.ElementCount(); ++e) {
    const ElementRow& row = model.Elements[static_cast<std::size_t>(e)];
    for (int k = 1; k <= 4; ++k) {
      const std::array<std::int32_t, 3> corners = {row.node[kFaceCorners[k][0]], row.node[kFaceCorners[k][1]],
                                                   row.node[kFaceCorners[k][2]]};
      faces.push_back({KeyOf(corners), corners, row.node[kFaceCorners[k][3]], e});
    }
  }
  std::sort(faces.begin(), faces.end(), [](const ElementFace& a, const ElementFace& b) {
    return a.key < b.key || (a.key == b.key && a.element < b.element);
  });
  std::vector<BoundaryFace> boundary;
  for (std::size_t i = 0; i < faces.size();) {
    std::size_t j = i + 1;
    while (j < faces.size() && faces[j].key == faces[i].key) ++j;
    if (j == i + 1) boundary.push_back({Outward(model, faces[i]), faces[i].element});
    i = j;
  }
  return boundary;
}

const BoundaryFace* FindBoundaryFace(const std::vector<BoundaryFace>& boundary, const FaceKey& key) {
  const auto it = std::lower_bound(boundary.begin(), boundary.end(), key,
                                   [](const BoundaryFace& face, const FaceKey& k) { return KeyOf(face.nodes) < k; });
  if (it == boundary.end() || KeyOf(it->nodes) != key) return nullptr;
  return &*it;
}

std::array<double, 3> DoubleAreaVector(const SolidModel& model, const std::array<std::int32_t, 3>& corners) {
  const std::array<double, 3> a = Point(model, corners[0]);
  const std::array<double, 3> b = Point(model, corners[1]);
  const std::array<double, 3> c = Point(model, corners[2]);
  return Cross({b[0] - a[0], b[1] - a[1], b[2] - a[2]}, {c[0] - a[0], c[1] - a[1], c[2] - a[2]});
}

double FacesArea(const SolidModel& model, const std::vector<BoundaryFace>& faces) {
  double area = 0;
  for (const BoundaryFace& face : faces) area += 0.5 * Length(DoubleAreaVector(model, face.nodes));
  return area;
}

void AddTractionLoads(const SolidModel& model, const std::vector<BoundaryFace>& faces,
                      const std::array<double, 3>& total, std::vector<double>& loads) {
  const double area = FacesArea(model, faces);
  if (!(area > 0)) return;
  for (const BoundaryFace& face : faces) {
    // The face's share of the total, total·A/ΣA, a third at each corner.
    const double share = 0.5 * Length(DoubleAreaVector(model, face.nodes)) / area / 3.0;
    for (const std::int32_t node : face.nodes)
      for (int c = 0; c < 3; ++c) loads[static_cast<std::size_t>(DofOf(node, c + 1))] += total[c] * share;
  }
}

void AddPressureLoads(const SolidModel& model, const std::vector<BoundaryFace>& faces, double p,
                      std::vector<double>& loads) {
  for (const BoundaryFace& face : faces) {
    // The outward area vector is half the cross product; the load p·A points
    // against it, a third at each corner.
    const std::array<double, 3> n = DoubleAreaVector(model, face.nodes);
    for (const std::int32_t node : face.nodes)
      for (int c = 0; c < 3; ++c) loads[static_cast<std::size_t>(DofOf(node, c + 1))] -= p * n[c] / 6.0;
  }
}

}  // namespace qor
