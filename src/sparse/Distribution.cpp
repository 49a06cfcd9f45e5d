#include "sparse/Distribution.h"

#include <algorithm>
#include <limits>
#include <numeric>

namespace qor {

namespace {

// 0, 1 or 2: the axis along which the nodes spread furthest.
int LongestAxis(const SolidModel& model) {
  double lo[3], hi[3];
  std::fill_n(lo, 3, std::numeric_limits<double>::infinity());
  std::fill_n(hi, 3, -std::numeric_limits<double>::infinity());
  for (std::int32_t n = 1; n <= model.NodeCount(); ++n) {
    const double p[3] = {model.Nodes[n].x, model.Nodes[n].y, model.Nodes[n].z};
    for (int k = 0; k < 3; ++k) {
      lo[k] = std::min(lo[k], p[k]);
      hi[k] = std::max(hi[k], p[k]);
    }
  }
  int axis = 0;
  for (int k = 1; k < 3; ++k)
    if (hi[k] - lo[k] > hi[axis] - lo[axis]) axis = k;
  return axis;
}

double Coordinate(const NodeRow& node, int axis) { return axis == 0 ? node.x : axis == 1 ? node.y : node.z; }

}  // namespace

Distribution DistributeModel(const SolidModel& model, int ranks) {
  const std::int32_t elements = model.ElementCount(), nodes = model.NodeCount();
  Distribution d;
  d.ElementRank.assign(static_cast<std::size_t>(elements) + 1, 0);
  if (ranks > 1 && elements > 0) {
    const int axis = LongestAxis(model);
    std::vector<double> centre(static_cast<std::size_t>(elements) + 1);
    for (std::int32_t e = 1; e <= elements; ++e) {
      double sum = 0;
      for (int a = 1; a <= 4; ++a) sum += Coordinate(model.Nodes[model.Elements[e].node[a]], axis);
      centre[e] = sum;
    }
    std::vector<std::int32_t> order(elements);
    std::iota(order.begin(), order.end(), 1);
    // Ties broken by number, so that every process sorts to the same order.
    std::sort(order.begin(), order.end(), [&](std::int32_t a, std::int32_t b) {
      return centre[a] < centre[b] || (centre[a] == centre[b] && a < b);
    });
    for (std::int32_t i = 0; i < elements; ++i)
      d.ElementRank[order[i]] = static_cast<std::int32_t>(static_cast<std::int64_t>(i) * ranks / elements);
  }

  std::vector<std::int32_t> nodeRank(static_cast<std::size_t>(nodes) + 1, std::numeric_limits<std::int32_t>::max());
  for (std::int32_t e = 1; e <= elements; ++e)
    for (int a = 1; a <= 4; ++a) {
      std::int32_t& r = nodeRank[model.Elements[e].node[a]];
      r = std::min(r, d.ElementRank[e]);
    }
  d.FirstIndex.assign(static_cast<std::size_t>(ranks) + 1, 0);
  for (std::int32_t n = 1; n <= nodes; ++n) {
    if (nodeRank[n] == std::numeric_limits<std::int32_t>::max()) nodeRank[n] = 0;
    ++d.FirstIndex[nodeRank[n] + 1];
  }
  for (int r = 0; r < ranks; ++r) d.FirstIndex[r + 1] += d.FirstIndex[r];
  d.NodeIndex.assign(static_cast<std::size_t>(nodes) + 1, 0);
  std::vector<std::int32_t> next(d.FirstIndex.begin(), d.FirstIndex.end() - 1);
  for (std::int32_t n = 1; n <= nodes; ++n) d.NodeIndex[n] = next[nodeRank[n]]++;
  return d;
}

}  // namespace qor
