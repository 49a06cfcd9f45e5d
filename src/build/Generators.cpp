#include "build/Generators.h"

#include <algorithm>
#include <cmath>

#include "build/NodeMerging.h"

namespace qor {
namespace {

// Fuses the nodes appended after n0 with the nodes already in the model and
// reports the count.
void MergeWithExisting(ModelStore& store, std::int32_t n0, CommandOutcome& outcome) {
  const std::int32_t removed = MergeCoincidentNodes(store, n0 + 1, store.NodeCount, 0, 0, 0, AgainstAll);
  outcome.message = RemovedNodesMessage(removed);
}

// The number of blocks, or NodeLimit for any count that can never fit: the
// product is cut off before it can overflow.
std::int64_t BlockCount(const CuboidParams& p) {
  std::int64_t blocks = 1;
  for (const std::int32_t d : {p.DivisionsX, p.DivisionsY, p.DivisionsZ})
    blocks = std::min<std::int64_t>(blocks * d, NodeLimit);
  return blocks;
}

UserMessage BadCuboidMessage() { return {"Złe parametry prostopadłościanu", "Prostopadłościan", MessageStyle::Plain}; }

// True when every node coordinate along one axis of `divisions` blocks from
// `origin` over `size` is a finite float, formed by the same rounded additions
// as the blocks use. The loop runs `divisions` times.
bool AxisCoordinatesFinite(float origin, float size, std::int32_t divisions) {
  const float step = size / static_cast<float>(divisions);
  float at = origin;
  for (std::int32_t i = 1; i <= divisions; ++i) {
    const float next = at + step;
    if (!std::isfinite(at) || !std::isfinite(next)) return false;
    at = next;
  }
  return std::isfinite(step);
}

bool CuboidCoordinatesFinite(const CuboidParams& p, bool divided) {
  return AxisCoordinatesFinite(p.OriginX, p.SizeX, divided ? p.DivisionsX : 1) &&
         AxisCoordinatesFinite(p.OriginY, p.SizeY, divided ? p.DivisionsY : 1) &&
         AxisCoordinatesFinite(p.OriginZ, p.SizeZ, divided ? p.DivisionsZ : 1);
}

}  // namespace

UserMessage ElementLimitMessage() { return LimitMessage(LimitElements); }

CommandOutcome AppendHexahedron(ModelStore& store, const HexahedronParams& params) {
  CommandOutcome outcome;
  store.ResultsValid = 0;
  const std::int32_t n0 = store.NodeCount;
  BlockCorners corners;
  for (int k = 1; k <= 8; ++k) corners[k] = {params.CornerX[k], params.CornerY[k], params.CornerZ[k]};
  AppendHexBlock(store, corners, ValidMaterialNumber(store, params.MaterialNumber));
  if (params.MergeFlag) MergeWithExisting(store, n0, outcome);
  outcome.repaint = true;
  return outcome;
}

CommandOutcome AppendCuboid(ModelStore& store, const CuboidParams& params) {
  CommandOutcome outcome;
  if (!CuboidCoordinatesFinite(params, false)) {
    outcome.message = BadCuboidMessage();
    return outcome;
  }
  store.ResultsValid = 0;
  const std::int32_t n0 = store.NodeCount;
  AppendHexBlock(
      store, AxisBlockCorners(params.OriginX, params.OriginY, params.OriginZ, params.SizeX, params.SizeY, params.SizeZ),
      ValidMaterialNumber(store, params.MaterialNumber));
  if (params.MergeFlag) MergeWithExisting(store, n0, outcome);
  outcome.repaint = true;
  return outcome;
}

CommandOutcome AppendDividedCuboid(ModelStore& store, const CuboidParams& params) {
  CommandOutcome outcome;
  const std::int32_t nx = params.DivisionsX, ny = params.DivisionsY, nz = params.DivisionsZ;
  // A count of zero would divide by zero and a negative one would build
  // nothing; both are refused before anything changes.
  if (nx < 1 || ny < 1 || nz < 1) {
    outcome.message = BadCuboidMessage();
    return outcome;
  }
  if (!HexBlocksFit(store, BlockCount(params))) {
    // The results are out of date even when the limits refuse.
    store.ResultsValid = 0;
    outcome.message = ElementLimitMessage();
    return outcome;
  }
  // With the block count bounded by the limits, every running coordinate can
  // be checked: a node at infinity could not be saved or computed.
  if (!CuboidCoordinatesFinite(params, true)) {
    outcome.message = BadCuboidMessage();
    return outcome;
  }
  store.ResultsValid = 0;

  const std::int32_t n0 = store.NodeCount;
  const std::int32_t material = ValidMaterialNumber(store, params.MaterialNumber);
  const float a = params.SizeX / static_cast<float>(nx);
  const float b = params.SizeY / static_cast<float>(ny);
  const float c = params.SizeZ / static_cast<float>(nz);
  // The running coordinates advance by the same rounded addition that gives
  // the far corners of the block before, so shared corners are bit-for-bit
  // equal and fuse below.
  float x = params.OriginX;
  for (std::int32_t i = 1; i <= nx; ++i) {
    float y = params.OriginY;
    for (std::int32_t j = 1; j <= ny; ++j) {
      float z = params.OriginZ;
      for (std::int32_t k = 1; k <= nz; ++k) {
        AppendHexBlock(store, AxisBlockCorners(x, y, z, a, b, c), material);
        z = z + c;
      }
      y = y + b;
    }
    x = x + a;
  }
  MergeCoincidentNodes(store, n0 + 1, store.NodeCount, 0, 0, 0, WithinRange);
  if (params.MergeFlag) MergeWithExisting(store, n0, outcome);
  outcome.repaint = true;
  return outcome;
}

}  // namespace qor
