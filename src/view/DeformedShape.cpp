#include "view/DeformedShape.h"

#include <algorithm>
#include <cmath>

#include "platform/NumberText.h"

namespace qor {

float DeformationScale(const ModelStore& store, float modelExtent) {
  const int dofs = 3 * std::clamp(store.NodeCount, 0, NodeCapacity);
  double largest = 0;
  for (int d = 1; d <= dofs; ++d) largest = std::max(largest, std::fabs(static_cast<double>(store.Displacements[d])));
  if (!(largest > 0) || !std::isfinite(largest)) return 0;
  const double scale = 0.1 * static_cast<double>(modelExtent) / largest;
  return std::isfinite(scale) && scale < 3.0e38 ? static_cast<float>(scale) : 0.0f;
}

void DisplaceNodes(const ModelStore& store, float scale, NodeTable& nodes) {
  nodes = store.Nodes;
  const int count = std::clamp(store.NodeCount, 0, NodeCapacity);
  for (int n = 1; n <= count; ++n) {
    nodes[n].x += scale * store.Displacements[3 * n - 2];
    nodes[n].y += scale * store.Displacements[3 * n - 1];
    nodes[n].z += scale * store.Displacements[3 * n];
  }
}

std::string DeformationCaption(float scale, char separator) {
  long double s = scale;
  if (s > 0 && std::isfinite(s)) {
    // Rounded to three significant digits first, then written in full up to
    // seven integer digits, so that 1234.5 reads 1230 rather than 1,23E3.
    const long double unit = std::pow(10.0L, std::floor(std::log10(s)) - 2);
    s = std::round(s / unit) * unit;
  }
  return "Przemieszczenia \u00d7 " + FormatGeneral(s, 7, separator);
}

}  // namespace qor
