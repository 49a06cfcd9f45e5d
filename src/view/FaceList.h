#pragma once

#include <array>
#include <cstdint>

namespace qor {

// Slots of the draw list: four faces per element, with room above the element
// limit (4 × 1997 = 7988).
inline constexpr int FaceCapacity = 8000;

// One face of one element; face 0 marks an entry that is not drawn. A face is
// numbered by the node opposite to it: 1 opposite node 4, 2 opposite node 1,
// 3 opposite node 2, 4 opposite node 3.
struct FaceEntry {
  std::int32_t element = 0;
  std::int32_t face = 0;
  bool operator==(const FaceEntry&) const = default;
};

// The draw list of the face pass, slots 1..4 × ElementCount (slot 0 unused),
// with the depth of each slot that the depth order sorts by.
struct FaceList {
  std::array<FaceEntry, FaceCapacity + 1> Entries{};
  std::array<float, FaceCapacity + 1> Depth{};
};

}  // namespace qor
