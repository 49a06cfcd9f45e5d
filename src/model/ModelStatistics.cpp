#include "model/ModelStatistics.h"

#include <cmath>

namespace qor {

ModelStatistics GatherStatistics(std::int32_t nodes, std::int32_t elements, std::int32_t supports, const float* forces,
                                 const float* displacements, const StressRow* stresses) {
  ModelStatistics stats;
  stats.nodes = nodes;
  stats.elements = elements;
  stats.supports = supports;
  for (int d = 1; d <= 3 * nodes; ++d)
    if (forces[d] != 0) ++stats.forces;
  stats.computed = displacements != nullptr && stresses != nullptr;
  if (!stats.computed) return stats;
  for (int e = 1; e <= elements; ++e)
    if (stresses[e][Reduced] > stats.largestReducedStress) stats.largestReducedStress = stresses[e][Reduced];
  for (int d = 1; d <= 3 * nodes; ++d)
    if (std::fabs(displacements[d]) > stats.largestDisplacement)
      stats.largestDisplacement = std::fabs(displacements[d]);
  return stats;
}

ModelStatistics GatherStatistics(const ModelStore& s) {
  const bool computed = s.ResultsValid != 0;
  return GatherStatistics(s.NodeCount, s.ElementCount, s.SupportCount, s.Forces.data(),
                          computed ? s.Displacements.data() : nullptr, computed ? s.Stresses.data() : nullptr);
}

}  // namespace qor
