#include "build/NodeElementInput.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace qor {

namespace {
constexpr const char* kCaption = "Element";

UserMessage Refusal(const std::string& text) { return {text, kCaption, MessageStyle::Plain}; }

// Six times the signed volume of the tetrahedron, and the longest of its
// edges, both from the stored floats in double precision.
struct Shape {
  double sixVolume = 0, longestEdge = 0;
};
Shape ShapeOf(const ModelStore& store, const ElementInput& input) {
  const NodeRow* p[4];
  for (int a = 0; a < 4; ++a) p[a] = &store.Nodes[input.nodes[a]];
  double d[3][3];
  for (int a = 0; a < 3; ++a) {
    d[a][0] = double(p[a + 1]->x) - p[0]->x;
    d[a][1] = double(p[a + 1]->y) - p[0]->y;
    d[a][2] = double(p[a + 1]->z) - p[0]->z;
  }
  Shape shape;
  shape.sixVolume = d[0][0] * (d[1][1] * d[2][2] - d[1][2] * d[2][1]) -
                    d[0][1] * (d[1][0] * d[2][2] - d[1][2] * d[2][0]) +
                    d[0][2] * (d[1][0] * d[2][1] - d[1][1] * d[2][0]);
  for (int a = 0; a < 4; ++a)
    for (int b = a + 1; b < 4; ++b)
      shape.longestEdge = std::max(shape.longestEdge, std::hypot(double(p[a]->x) - p[b]->x, double(p[a]->y) - p[b]->y,
                                                                 double(p[a]->z) - p[b]->z));
  return shape;
}
}  // namespace

void AddTypedNode(ModelStore& store, float x, float y, float z) {
  const std::int32_t n = ++store.NodeCount;
  store.Nodes[n] = {x, y, z};
  // The rows beyond the counters keep what an earlier model left there.
  for (int c = 1; c <= 3; ++c) store.Forces[DofOf(n, c)] = 0.0f;
  store.ResultsValid = 0;
}

std::optional<UserMessage> ElementRefusal(const ModelStore& store, const ElementInput& input) {
  for (const std::int32_t node : input.nodes)
    if (node < 1 || node > store.NodeCount)
      return Refusal("Węzeł " + std::to_string(node) +
                     " nie istnieje (liczba węzłów: " + std::to_string(store.NodeCount) + ").");
  for (int a = 0; a < 4; ++a)
    for (int b = a + 1; b < 4; ++b)
      if (input.nodes[a] == input.nodes[b])
        return Refusal("Węzeł " + std::to_string(input.nodes[a]) + " podano w elemencie więcej niż raz.");
  if (input.material < 1 || input.material > store.MaterialCount)
    return Refusal("Materiał " + std::to_string(input.material) +
                   " nie istnieje (liczba materiałów: " + std::to_string(store.MaterialCount) + ").");
  // A volume this small against the cube of the longest edge is flat within
  // the rounding of float coordinates: the element would have no stiffness.
  const Shape shape = ShapeOf(store, input);
  if (!(std::fabs(shape.sixVolume) > 1e-6 * std::pow(shape.longestEdge, 3)))
    return Refusal("Węzły elementu leżą w jednej płaszczyźnie: element nie miałby objętości.");
  return std::nullopt;
}

CommandOutcome AddTypedElement(ModelStore& store, const ElementInput& input) {
  if (auto refusal = ElementRefusal(store, input)) return {*refusal, false, false};
  ElementRow& row = store.Elements[++store.ElementCount];
  for (int a = 0; a < 4; ++a) row.node[a + 1] = input.nodes[a];
  row.material = input.material;
  store.ResultsValid = 0;
  return {std::nullopt, false, true};
}

}  // namespace qor
