#pragma once

#include <array>
#include <cstdint>

#include "model/ModelStore.h"

namespace qor {

struct Point3 {
  float x = 0, y = 0, z = 0;
};

// The eight corners of a block, indexed 1..8 (index 0 unused). Corner
// 1 + bz + 2·bx + 4·by lies at position (bx, by, bz) along the block's first,
// second and third edge direction.
using BlockCorners = std::array<Point3, 9>;

// The six tetrahedra of a block as local corner numbers, in element node
// order. Opposite faces are cut along the same diagonal, so blocks of a
// regular grid meet along matching triangles.
inline constexpr int BlockTetrahedra[6][4] = {
    {1, 2, 4, 8}, {1, 2, 8, 5}, {2, 8, 5, 6}, {1, 3, 4, 7}, {1, 7, 8, 5}, {1, 8, 4, 7},
};

// m when it names an existing material, otherwise 1.
std::int32_t ValidMaterialNumber(const ModelStore& store, std::int32_t m);

// Appends the eight corners as new nodes (with zero forces) and the six
// tetrahedra of BlockTetrahedra with the given material. The caller has checked
// that they fit.
void AppendHexBlock(ModelStore& store, const BlockCorners& corners, std::int32_t material);

// Corners of the axis-parallel block at (x, y, z) with edges a, b, c; every
// sum is rounded to float.
BlockCorners AxisBlockCorners(float x, float y, float z, float a, float b, float c);

// True when `blocks` more blocks of eight nodes and six elements fit within the
// element, node and degree-of-freedom limits.
bool HexBlocksFit(const ModelStore& store, std::int64_t blocks);

}  // namespace qor
