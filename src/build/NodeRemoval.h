#pragma once

#include <cstdint>
#include <functional>

#include "model/ModelStore.h"

namespace qor {

// Deletes every Supports row whose dof satisfies `drop`; the rows behind move
// up. Returns the number of rows deleted.
std::int32_t RemoveSupportRows(ModelStore& store, const std::function<bool(std::int32_t)>& drop);

// Every support dof of a node after n moves down by one node (3 entries).
void RenumberSupportsAfterNode(ModelStore& store, std::int32_t n);

// Nodes n+1..NodeCount move down one position with their coordinates and their
// three force entries; NodeCount decreases by 1. References are not touched.
void CloseUpNode(ModelStore& store, std::int32_t n);

// Removes node n, which no element and no support may use: closes up the node
// table and renumbers element references and support dofs behind it.
void RemoveNode(ModelStore& store, std::int32_t n);

// True when element 1..ElementCount refers to node n.
bool NodeUsedByElement(const ModelStore& store, std::int32_t n);
// True when a Supports row holds a degree of freedom of node n.
bool NodeSupported(const ModelStore& store, std::int32_t n);

}  // namespace qor
