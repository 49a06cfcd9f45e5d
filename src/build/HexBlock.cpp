#include "build/HexBlock.h"

#include <algorithm>

#include "build/NodeMerging.h"

namespace qor {

std::int32_t ValidMaterialNumber(const ModelStore& store, std::int32_t m) {
  return store.MaterialCount >= 1 && m >= 1 && m <= store.MaterialCount ? m : 1;
}

void AppendHexBlock(ModelStore& store, const BlockCorners& corners, std::int32_t material) {
  const std::int32_t n0 = store.NodeCount;
  const std::int32_t e0 = store.ElementCount;
  for (int k = 1; k <= 8; ++k) {
    store.Nodes[n0 + k] = {corners[k].x, corners[k].y, corners[k].z};
    for (int c = 1; c <= 3; ++c) SetForceEntry(store, DofOf(n0 + k, c), 0.0f);
  }
  for (int t = 0; t < 6; ++t) {
    ElementRow& row = store.Elements[e0 + t + 1];
    for (int c = 0; c < 4; ++c) row.node[c + 1] = n0 + BlockTetrahedra[t][c];
    row.material = material;
  }
  store.ElementCount = e0 + 6;
  store.NodeCount = n0 + 8;
}

BlockCorners AxisBlockCorners(float x, float y, float z, float a, float b, float c) {
  const float xa = x + a, yb = y + b, zc = z + c;
  BlockCorners k;
  k[1] = {x, y, z};
  k[2] = {x, y, zc};
  k[3] = {xa, y, z};
  k[4] = {xa, y, zc};
  k[5] = {x, yb, z};
  k[6] = {x, yb, zc};
  k[7] = {xa, yb, z};
  k[8] = {xa, yb, zc};
  return k;
}

bool HexBlocksFit(const ModelStore& store, std::int64_t blocks) {
  // More blocks than the node limit can never fit; refusing them before any
  // multiplication keeps 8 × blocks and 6 × blocks far from overflowing.
  if (blocks < 0 || blocks >= NodeLimit) return false;
  auto clamp = [](std::int64_t v) { return static_cast<std::int32_t>(std::min<std::int64_t>(v, INT32_MAX)); };
  const std::int64_t nodes = store.NodeCount + 8 * blocks;
  return !LimitReached(LimitElements, clamp(store.ElementCount + 6 * blocks)) &&
         !LimitReached(LimitNodes, clamp(nodes)) && !LimitReached(LimitDofs, clamp(3 * nodes));
}

}  // namespace qor
