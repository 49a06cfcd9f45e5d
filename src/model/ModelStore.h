#pragma once

#include <array>
#include <cstdint>

#include "platform/UserMessage.h"

namespace qor {

// Rows that exist in storage; row 0 is never used, so rows are indexed exactly
// as the user numbers them.
inline constexpr int NodeCapacity = 999;
inline constexpr int ElementCapacity = 1999;
// Forces and displacements have room for every node the store can hold (three
// degrees of freedom each), although only models of up to 665 nodes (1995
// degrees of freedom) can be computed: a model of 997 nodes read from a file or
// built by the generators still carries its loads without writing past a table.
inline constexpr int DofCapacity = 3 * NodeCapacity;
inline constexpr int SupportCapacity = 499;
inline constexpr int MaterialCapacity = 7;

// Kinds of LimitReached and the counts at which growth is refused.
enum LimitKind : std::int32_t {
  LimitElements = 1,
  LimitNodes = 2,
  LimitDofs = 3,
  LimitSupports = 4,
  LimitMaterials = 5,
};
inline constexpr std::int32_t ElementLimit = 1998;
inline constexpr std::int32_t NodeLimit = 998;
inline constexpr std::int32_t DofLimit = 1996;
inline constexpr std::int32_t SupportLimit = 498;
inline constexpr std::int32_t MaterialLimit = 8;

struct NodeRow {
  float x = 0, y = 0, z = 0;
};

struct ElementRow {
  std::int32_t node[5] = {0, 0, 0, 0, 0};  // node[1..4]; node[0] unused
  std::int32_t material = 0;
};

struct MaterialRow {
  float E = 0;
  float nu = 0;
};

// True for constants a solid can have: E finite and above 0, nu strictly
// between -1 and 0.5. Others give a stiffness matrix that is not positive
// definite, and a computed model that moves against its loads.
bool MaterialConstantsValid(float E, float nu);

struct SupportRow {
  std::int32_t dof = 0;    // 3n-2 (x), 3n-1 (y) or 3n (z) of node n
  std::int32_t value = 0;  // prescribed displacement, an integer
};

// Stress components of an element, indexed 1..7 as the stress-kind codes.
enum StressKind : int {
  SigmaX = 1,
  SigmaY = 2,
  SigmaZ = 3,
  TauYZ = 4,
  TauXZ = 5,
  TauXY = 6,
  Reduced = 7,
};
using StressRow = std::array<float, 8>;  // [1..7]

// The one in-memory finite-element model with its last results. Fixed tables,
// allocated once; counters say how many rows are in use.
struct ModelStore {
  std::int32_t NodeCount = 0;
  std::int32_t ElementCount = 0;
  std::int32_t MaterialCount = 0;
  std::int32_t SupportCount = 0;
  std::int32_t DofCount = 0;
  std::int32_t ResultsValid = 0;

  std::array<NodeRow, NodeCapacity + 1> Nodes{};
  std::array<ElementRow, ElementCapacity + 1> Elements{};
  std::array<MaterialRow, MaterialCapacity + 1> Materials{};
  std::array<float, DofCapacity + 1> Forces{};  // per degree of freedom
  std::array<SupportRow, SupportCapacity + 1> Supports{};
  std::array<float, DofCapacity + 1> Displacements{};  // per degree of freedom
  std::array<StressRow, ElementCapacity + 1> Stresses{};
};

// Per-element stiffness multipliers read from the last model file. They live
// outside any store and survive New, Close and the mesh import.
extern std::array<float, ElementCapacity + 1> Densities;

// Degree of freedom of node n in direction c (1 x, 2 y, 3 z).
constexpr std::int32_t DofOf(std::int32_t node, std::int32_t direction) { return 3 * (node - 1) + direction; }

// True when `value`, the count a command is about to reach, is at or above the
// limit of `kind`; false for an unknown kind.
bool LimitReached(std::int32_t kind, std::int32_t value);

// The message shown when LimitReached refuses growth of `kind`.
UserMessage LimitMessage(std::int32_t kind);

// Empties the model: node, element, support and material counters and
// ResultsValid to 0. Table contents, DofCount and Densities stay as they are.
void ClearModel(ModelStore& store);

}  // namespace qor
