#pragma once

#include <cstdint>
#include <string>

#include "build/CommandOutcome.h"
#include "model/ModelStore.h"

namespace qor {

// Caption and prompt of the input box that asks which item to delete.
struct DeletionQuery {
  const char* caption;
  const char* prompt;
};
inline constexpr DeletionQuery ElementDeletionQuery{"Usuwanie elementu", "Podaj numeru elementu :"};
inline constexpr DeletionQuery NodeDeletionQuery{"Usuwanie węzła", "Podaj numeru węzła :"};
inline constexpr DeletionQuery ForceDeletionQuery{"Usuwanie sił", "Podaj numeru węzła :"};
inline constexpr DeletionQuery SupportDeletionQuery{"Usuwanie podpór", "Podaj numeru węzła :"};

// Each command takes the text typed into the input box. An invalid number
// gives a plain message and changes nothing.

// Deletes an element; the elements behind it move up with their materials
// and their Densities entries.
CommandOutcome DeleteElement(ModelStore& store, const std::string& answer);
// Deletes a node that no element uses and no support holds.
CommandOutcome DeleteNode(ModelStore& store, const std::string& answer);
// Zeroes the three force entries of a node.
CommandOutcome DeleteForce(ModelStore& store, const std::string& answer);
// Deletes every support row of a node.
CommandOutcome DeleteSupports(ModelStore& store, const std::string& answer);
// Removes every node that no element uses and no support holds, and reports
// the count.
CommandOutcome RemoveFreeNodes(ModelStore& store);

}  // namespace qor
