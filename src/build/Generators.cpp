#include "build/Generators.h"

#include <algorithm>

#include "build/NodeMerging.h"

namespace qor {
namespace {

// Fuses the nodes appended after n0 with the nodes already in the model and
// reports the count.
void MergeWithExisting(ModelStore& store, std::int32_t n0, CommandOutcome& outcome) {
  const std::int32_t removed = MergeCoincidentNodes(store, n0 + 1, store.NodeCount, 0, 0, 0, AgainstAll);
  outcome.message = RemovedNodesMessage(removed);
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
    outcome.message = UserMessage{"Złe parametry prostopadłościanu", "Prostopadłościan", MessageStyle::Plain};
    return outcome;
  }
  // The results are out of date from here on, even when the limits refuse.
  store.ResultsValid = 0;
  constexpr std::int64_t Many = std::int64_t{1} << 31;
  const std::int64_t blocks = std::min<std::int64_t>(std::int64_t{nx} * ny, Many) * nz;
  if (!HexBlocksFit(store, blocks)) {
    outcome.message = ElementLimitMessage();
    return outcome;
  }

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
