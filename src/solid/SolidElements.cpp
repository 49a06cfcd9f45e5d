#include "solid/SolidElements.h"

namespace qor {

TetCorners CornersOf(const SolidModel& model, std::int32_t e) {
  TetCorners corners;
  for (int a = 1; a <= 4; ++a) {
    const NodeRow& n = model.Nodes[model.Elements[e].node[a]];
    corners.x[a] = n.x;
    corners.y[a] = n.y;
    corners.z[a] = n.z;
  }
  return corners;
}

bool ElementStressesOf(const SolidModel& model, const std::vector<double>& u, std::int32_t e, double stress[8]) {
  const ElementRow& element = model.Elements[e];
  double ue[13];
  for (int a = 1; a <= 4; ++a)
    for (int k = 1; k <= 3; ++k) ue[3 * (a - 1) + k] = u[DofOf(element.node[a], k)];
  const MaterialRow& material = model.Materials[element.material];
  return ElementStresses(CornersOf(model, e), material.E, material.nu, ue, stress);
}

}  // namespace qor
