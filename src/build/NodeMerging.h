#pragma once

#include <cstdint>

#include "build/CommandOutcome.h"
#include "model/ModelStore.h"

namespace qor {

// Where MergeCoincidentNodes looks for the partner of a node.
enum MergeScope { WithinRange, AgainstAll };

// Fuses every node first..last that coincides with a partner (per-axis
// differences, rounded to float, at most tx, ty, tz) into that partner: the
// partner is the lowest-numbered match among first..last (WithinRange) or
// 1..NodeCount (AgainstAll). Elements are redirected, the partner takes the
// fused node's supports (each degree of freedom once) and the sum of both
// nodes' forces, and the node table is closed up. Returns the number of nodes
// removed.
std::int32_t MergeCoincidentNodes(ModelStore& store, std::int32_t first, std::int32_t last, float tx, float ty,
                                  float tz, MergeScope scope);

// "Usunięto %d węzłów." with the caption "Usuwanie węzłów".
UserMessage RemovedNodesMessage(std::int32_t removed);

// The duplicate-node command: fuses coincident nodes over the whole model and
// reports the count. Refuses, changing nothing, when a summed force would not
// be a finite float.
CommandOutcome RemoveDuplicateNodes(ModelStore& store);

// Force entry d, or 0 for an entry the Forces table cannot hold (a node number
// whose degrees of freedom lie past its capacity).
float ForceEntry(const ModelStore& store, std::int32_t dof);
// Sets force entry d when the table holds it.
void SetForceEntry(ModelStore& store, std::int32_t dof, float value);

}  // namespace qor
