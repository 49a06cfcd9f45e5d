#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "build/CommandOutcome.h"
#include "model/ModelStore.h"

namespace qor {

// The four node numbers and the material number of an element typed by the user.
struct ElementInput {
  std::array<std::int32_t, 4> nodes{};
  std::int32_t material = 0;
};

// Appends node NodeCount + 1 at (x, y, z) without a force on it. The caller
// has checked the node limit.
void AddTypedNode(ModelStore& store, float x, float y, float z);

// Why the element cannot be added: a node or material that does not exist,
// a node given twice, or four nodes in one plane (no volume); nothing when it
// can.
std::optional<UserMessage> ElementRefusal(const ModelStore& store, const ElementInput& input);

// Appends the element as element ElementCount + 1, or refuses it with the
// message of ElementRefusal and changes nothing. The caller has checked the
// element limit.
CommandOutcome AddTypedElement(ModelStore& store, const ElementInput& input);

}  // namespace qor
