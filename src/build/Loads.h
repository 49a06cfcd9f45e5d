#pragma once

#include <cstdint>

#include "build/CommandOutcome.h"
#include "model/ModelStore.h"

namespace qor {

// Values of the force and support dialogs.
struct NodeRangeParams {
  std::int32_t FirstNode = 0, LastNode = 0, NodeStep = 0;
  float StartX = 0, EndX = 0, StartY = 0, EndY = 0, StartZ = 0, EndZ = 0;
  bool FixX = true, FixY = true, FixZ = true;  // supports only
};

// Appends material MaterialCount + 1. The caller has checked the material limit.
void AddMaterial(ModelStore& store, float E, float nu);

// Sets force vectors: with FirstNode < LastNode and NodeStep > 0 on every
// NodeStep-th node of the range, interpolated linearly from the start to the
// end values; otherwise on FirstNode alone with the start values. A node the
// steps reach outside the model, or a force beyond the float range, refuses
// the whole command and nothing changes.
CommandOutcome ApplyForces(ModelStore& store, const NodeRangeParams& params);

// Appends one support row per checked direction for the nodes chosen as for
// the forces. A node outside the model, or more rows than the support limit
// allows, refuses the whole command and nothing changes.
CommandOutcome AddSupports(ModelStore& store, const NodeRangeParams& params);

}  // namespace qor
