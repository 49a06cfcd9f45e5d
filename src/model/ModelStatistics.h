#pragma once

#include <cstdint>

#include "model/ModelStore.h"

namespace qor {

// What the statistics dialog and the batch command's summary report of a model.
struct ModelStatistics {
  std::int32_t nodes = 0;
  std::int32_t elements = 0;
  std::int32_t forces = 0;  // non-zero force components: a node loaded in x and z counts 2
  std::int32_t supports = 0;
  bool computed = false;  // ResultsValid
  // The largest single displacement component in magnitude and the largest
  // reduced stress; both 0 when the results are out of date.
  float largestDisplacement = 0;
  float largestReducedStress = 0;
};

ModelStatistics GatherStatistics(const ModelStore& store);

/// The same from a model's counts and tables (indexed from 1): `forces` and `displacements` hold
/// 3·nodes values, `stresses` one row per element; without results (null) nothing computed is reported.
ModelStatistics GatherStatistics(std::int32_t nodes, std::int32_t elements, std::int32_t supports, const float* forces,
                                 const float* displacements, const StressRow* stresses);

}  // namespace qor
