#include "sparse/Distribution.h"

#include <algorithm>
#include <limits>

namespace qor {

namespace {

struct Centre {
  double p[3];
  std::int32_t element;
};

// Recursive coordinate bisection: the elements of [begin, end) go to the
// processes first .. first + ranks - 1. The run is cut across the longest
// side of its centres' bounding box, at the count that gives each half its
// share of processes, and each half is split again. Ties are broken by
// element number, so every process cuts the same way.
void Bisect(std::vector<Centre>::iterator begin, std::vector<Centre>::iterator end, int first, int ranks,
            std::vector<std::int32_t>& elementRank) {
  if (ranks == 1 || end - begin <= 1) {
    for (auto it = begin; it != end; ++it) elementRank[it->element] = first;
    return;
  }
  double lo[3], hi[3];
  std::fill_n(lo, 3, std::numeric_limits<double>::infinity());
  std::fill_n(hi, 3, -std::numeric_limits<double>::infinity());
  for (auto it = begin; it != end; ++it)
    for (int k = 0; k < 3; ++k) {
      lo[k] = std::min(lo[k], it->p[k]);
      hi[k] = std::max(hi[k], it->p[k]);
    }
  int axis = 0;
  for (int k = 1; k < 3; ++k)
    if (hi[k] - lo[k] > hi[axis] - lo[axis]) axis = k;
  const int left = ranks / 2;
  const auto middle = begin + static_cast<std::ptrdiff_t>(static_cast<std::int64_t>(end - begin) * left / ranks);
  std::nth_element(begin, middle, end, [axis](const Centre& a, const Centre& b) {
    return a.p[axis] < b.p[axis] || (a.p[axis] == b.p[axis] && a.element < b.element);
  });
  Bisect(begin, middle, first, left, elementRank);
  Bisect(middle, end, first + left, ranks - left, elementRank);
}

}  // namespace

Distribution DistributeModel(const SolidModel& model, int ranks) {
  const std::int32_t elements = model.ElementCount(), nodes = model.NodeCount();
  Distribution d;
  d.ElementRank.assign(static_cast<std::size_t>(elements) + 1, 0);
  if (ranks > 1 && elements > 0) {
    std::vector<Centre> centres(elements);
    for (std::int32_t e = 1; e <= elements; ++e) {
      Centre& c = centres[e - 1];
      c.element = e;
      std::fill_n(c.p, 3, 0.0);
      for (int a = 1; a <= 4; ++a) {
        const NodeRow& n = model.Nodes[model.Elements[e].node[a]];
        c.p[0] += n.x;
        c.p[1] += n.y;
        c.p[2] += n.z;
      }
    }
    Bisect(centres.begin(), centres.end(), 0, ranks, d.ElementRank);
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
