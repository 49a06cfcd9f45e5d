#pragma once

#include <cstdint>

#include "build/CommandOutcome.h"
#include "build/HexBlock.h"
#include "model/ModelStore.h"

namespace qor {

// Values of the hexahedron dialog: corners 1..8 (index 0 unused).
struct HexahedronParams {
  float CornerX[9] = {}, CornerY[9] = {}, CornerZ[9] = {};
  std::int32_t MaterialNumber = 1;
  bool MergeFlag = true;
};

// Values of the cuboid dialogs; the divisions are used by the divided cuboid only.
struct CuboidParams {
  float OriginX = 0, OriginY = 0, OriginZ = 0;
  float SizeX = 10, SizeY = 10, SizeZ = 10;
  std::int32_t MaterialNumber = 1;
  std::int32_t DivisionsX = 2, DivisionsY = 2, DivisionsZ = 2;
  bool MergeFlag = true;
};

// The message of the element, node and degree-of-freedom limits.
UserMessage ElementLimitMessage();

// Appends one hexahedron of six tetrahedra from its corners; with MergeFlag
// its nodes are then fused with coincident existing nodes and the count is
// reported. The caller has checked HexBlocksFit(store, 1).
CommandOutcome AppendHexahedron(ModelStore& store, const HexahedronParams& params);

// Appends one axis-parallel cuboid of six tetrahedra, merged as above. The
// caller has checked HexBlocksFit(store, 1). Corners that are not finite
// refuse the command and nothing changes.
CommandOutcome AppendCuboid(ModelStore& store, const CuboidParams& params);

// Appends a cuboid divided into DivisionsX × DivisionsY × DivisionsZ blocks
// with the shared corners of neighbouring blocks fused, so the result is a
// conforming mesh; with MergeFlag it is fused with the existing nodes too.
// Refuses division counts below 1, models that would outgrow the limits (the
// results are then out of date all the same) and coordinates that are not
// finite.
CommandOutcome AppendDividedCuboid(ModelStore& store, const CuboidParams& params);

}  // namespace qor
