#pragma once

#include <cstdint>
#include <vector>

#include "solid/SolidModel.h"

namespace qor {

// How a model's work is shared among the processes of a run: a part of the
// elements for each process, and a numbering of the nodes in which every
// process owns one contiguous range (the rows of its part of the matrix, which
// it assembles from every element at its nodes).
struct Distribution {
  std::vector<std::int32_t> ElementRank;  // [1..ElementCount()]: the part of element e
  std::vector<std::int32_t> NodeIndex;    // [1..NodeCount()]: the node's 0-based index in the shared numbering
  std::vector<std::int32_t> FirstIndex;   // [0..ranks]: process r owns indices FirstIndex[r] .. FirstIndex[r + 1] - 1
};

/// Splits the elements into `ranks` parts of equal count by recursive coordinate bisection of their centroids,
/// and gives each node to the lowest process among its elements (process 0 for a node in no element). Within a
/// process the nodes keep their order. The same model gives the same split on every process.
Distribution DistributeModel(const SolidModel& model, int ranks);

}  // namespace qor
