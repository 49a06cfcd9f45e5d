#pragma once

#include <cstdint>
#include <vector>

#include "analysis/ElementMatrices.h"
#include "solid/SolidModel.h"

namespace qor {

// The shared element kernels applied to the rows of a SolidModel.

/// The corners of element e.
TetCorners CornersOf(const SolidModel& model, std::int32_t e);

/// Element e's stresses [1..6] and reduced stress [7] from the displacements u [1..3·NodeCount()] through
/// ElementStresses; false when the kernel refuses the element.
bool ElementStressesOf(const SolidModel& model, const std::vector<double>& u, std::int32_t e, double stress[8]);

}  // namespace qor
