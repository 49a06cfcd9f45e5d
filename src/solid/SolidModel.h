#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "model/ModelStore.h"
#include "platform/UserMessage.h"

namespace qor {

// A model of any size: the content of the window's store in vectors sized
// from the file or the mesh, with no fixed capacity. Rows are numbered from 1
// as the user numbers them; row 0 of every vector exists and is never used,
// so code indexes exactly as in the store. Degree of freedom 3n-2, 3n-1, 3n
// belongs to node n (DofOf).
//
// The numbers are those of the store and the file: 32-bit floats for
// coordinates, constants, forces and results, integers for numbers.
struct SolidModel {
  std::vector<NodeRow> Nodes{1};          // [1..NodeCount()]
  std::vector<ElementRow> Elements{1};    // [1..ElementCount()], node[1..4] and material
  std::vector<MaterialRow> Materials{1};  // [1..MaterialCount()]
  std::vector<float> Forces{0.0f};        // [1..3·NodeCount()], per degree of freedom
  std::vector<SupportRow> Supports{1};    // [1..SupportCount()], value an integer as in the file
  std::vector<float> Densities{0.0f};     // [1..ElementCount()], the file's per-element multipliers

  std::int32_t NodeCount() const { return static_cast<std::int32_t>(Nodes.size()) - 1; }
  std::int32_t ElementCount() const { return static_cast<std::int32_t>(Elements.size()) - 1; }
  std::int32_t MaterialCount() const { return static_cast<std::int32_t>(Materials.size()) - 1; }
  std::int32_t SupportCount() const { return static_cast<std::int32_t>(Supports.size()) - 1; }
  std::int32_t DofCount() const { return 3 * NodeCount(); }

  /// Sizes every vector for the counts (Forces for 3·nodes, Densities for elements), rows zeroed.
  void Resize(std::int32_t nodes, std::int32_t elements, std::int32_t materials, std::int32_t supports);
};

// Results of a computed SolidModel, in the store's types and with the store's
// rounding: displacements per degree of freedom, stresses per element [1..7].
struct SolidResults {
  std::vector<float> Displacements{0.0f};  // [1..3·NodeCount()]
  std::vector<StressRow> Stresses{1};      // [1..ElementCount()]
};

/// True when every element's nodes and material, and every support's degree of freedom, name rows that
/// exist (materials up to `materialRows`), and Forces and Densities have their rows.
bool ReferencesInRange(const SolidModel& model, std::int32_t materialRows);

/// True when the model fits the window's store: every count below its LimitReached limit
/// (at most 997 nodes, 1997 elements, 7 materials, 497 supports).
bool FitsStore(const SolidModel& model);

/// Copies the model into the store and `densities` through the store's limit checks. When a count
/// is beyond the store, nothing is touched and the store's LimitMessage of that kind is returned.
/// On success (nullopt) the store's forces beyond the model's degrees of freedom are zero and
/// ResultsValid is 0.
std::optional<UserMessage> CopyToStore(const SolidModel& model, ModelStore& store,
                                       std::array<float, ElementCapacity + 1>& densities);

/// The store's model (and `densities` 1..ElementCount) as a SolidModel.
SolidModel SolidModelFromStore(const ModelStore& store, const std::array<float, ElementCapacity + 1>& densities);

/// The store's results (Displacements, Stresses) in the SolidResults of the same model.
SolidResults SolidResultsFromStore(const ModelStore& store);

}  // namespace qor
