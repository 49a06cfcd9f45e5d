#include "model/ModelStatistics.h"

#include <cmath>

namespace qor {

ModelStatistics GatherStatistics(const ModelStore& s) {
  ModelStatistics stats;
  stats.nodes = s.NodeCount;
  stats.elements = s.ElementCount;
  stats.supports = s.SupportCount;
  for (int d = 1; d <= 3 * s.NodeCount; ++d)
    if (s.Forces[d] != 0) ++stats.forces;
  stats.computed = s.ResultsValid != 0;
  if (!stats.computed) return stats;
  for (int e = 1; e <= s.ElementCount; ++e)
    if (s.Stresses[e][Reduced] > stats.largestReducedStress) stats.largestReducedStress = s.Stresses[e][Reduced];
  for (int d = 1; d <= 3 * s.NodeCount; ++d)
    if (std::fabs(s.Displacements[d]) > stats.largestDisplacement)
      stats.largestDisplacement = std::fabs(s.Displacements[d]);
  return stats;
}

}  // namespace qor
