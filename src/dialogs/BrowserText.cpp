#include "BrowserText.h"

#include <algorithm>

#include "platform/NumberText.h"

namespace qor {
namespace {

// Rows in use of a table, never more than it holds.
std::int32_t RowsInUse(std::int32_t count, int capacity) { return std::clamp(count, 0, capacity); }

bool IsNode(const ModelStore& store, std::int32_t node) {
  return node >= 1 && node <= RowsInUse(store.NodeCount, NodeCapacity);
}

// Degrees of freedom of the model's nodes that the per-dof tables hold.
bool IsStoredDof(const ModelStore& store, std::int32_t dof) {
  const std::int64_t dofs = 3 * static_cast<std::int64_t>(RowsInUse(store.NodeCount, NodeCapacity));
  return dof >= 1 && dof <= dofs && dof <= DofCapacity;
}

// A node number of an element appears once even when a degenerate element
// repeats it, so its supports and forces are not listed twice.
bool SeenEarlier(const ElementRow& row, int position) {
  for (int k = 1; k < position; ++k)
    if (row.node[k] == row.node[position]) return true;
  return false;
}

const ElementRow* ElementAt(const ModelStore& store, std::int32_t element) {
  if (element < 1 || element > RowsInUse(store.ElementCount, ElementCapacity)) return nullptr;
  return &store.Elements[element];
}

}  // namespace

std::string RealFormat::operator()(float value) const {
  if (kind == Kind::Fixed) return FormatFixedDecimals(value, 5, digits, separator);
  return FormatGeneral(value, digits, separator);
}

char DirectionLetter(std::int32_t dof) {
  switch (((dof % 3) + 3) % 3) {
    case 1:
      return 'x';
    case 2:
      return 'y';
    default:
      return 'z';
  }
}

std::int32_t NodeOfDof(std::int32_t dof) { return static_cast<std::int32_t>((static_cast<std::int64_t>(dof) + 2) / 3); }

std::string SupportEntry(const SupportRow& row) {
  std::string s = std::to_string(NodeOfDof(row.dof));
  s += DirectionLetter(row.dof);
  s += " , ";
  s += std::to_string(row.value);
  return s;
}

std::vector<std::string> ElementLines(const ModelStore& store) {
  const std::int32_t count = RowsInUse(store.ElementCount, ElementCapacity);
  std::vector<std::string> lines;
  lines.reserve(count);
  for (std::int32_t e = 1; e <= count; ++e) {
    const ElementRow& row = store.Elements[e];
    std::string s = std::to_string(e);
    s += " : ";
    s += ElementNodesText(store, e);
    s += " - ";
    s += std::to_string(row.material);
    lines.push_back(std::move(s));
  }
  return lines;
}

std::vector<std::string> NodeLines(const ModelStore& store, const RealFormat& coordinates) {
  const std::int32_t count = RowsInUse(store.NodeCount, NodeCapacity);
  std::vector<std::string> lines;
  lines.reserve(count);
  for (std::int32_t n = 1; n <= count; ++n)
    lines.push_back(std::to_string(n) + " : " + CoordinatesText(store, n, coordinates));
  return lines;
}

std::vector<std::string> MaterialLines(const ModelStore& store, char separator) {
  const std::int32_t count = RowsInUse(store.MaterialCount, MaterialCapacity);
  std::vector<std::string> lines;
  lines.reserve(count);
  for (std::int32_t m = 1; m <= count; ++m)
    lines.push_back(std::to_string(m) + " : " + MaterialText(store, m, RealFormat::Fixed(separator)));
  return lines;
}

std::vector<std::string> SupportLines(const ModelStore& store) {
  const std::int32_t count = RowsInUse(store.SupportCount, SupportCapacity);
  std::vector<std::string> lines;
  lines.reserve(count);
  for (std::int32_t j = 1; j <= count; ++j)
    lines.push_back(std::to_string(j) + " : " + SupportEntry(store.Supports[j]));
  return lines;
}

std::vector<std::string> ForceLines(const ModelStore& store, char separator) {
  const RealFormat fixed = RealFormat::Fixed(separator);
  const std::int32_t count = RowsInUse(store.NodeCount, NodeCapacity);
  std::vector<std::string> lines;
  for (std::int32_t n = 1; n <= count; ++n) {
    for (std::int32_t c = 1; c <= 3; ++c) {
      const float force = ForceAt(store, DofOf(n, c));
      if (force == 0) continue;
      std::string s = std::to_string(n);
      s += " : ";
      s += fixed(force);
      s += DirectionLetter(c);
      lines.push_back(std::move(s));
    }
  }
  return lines;
}

std::string ElementNodesText(const ModelStore& store, std::int32_t element) {
  const ElementRow* row = ElementAt(store, element);
  if (!row) return "-";
  std::string s;
  for (int k = 1; k <= 4; ++k) {
    if (k > 1) s += " - ";
    s += std::to_string(row->node[k]);
  }
  return s;
}

std::string CoordinatesText(const ModelStore& store, std::int32_t node, const RealFormat& format) {
  if (!IsNode(store, node)) return "-";
  const NodeRow& p = store.Nodes[node];
  return format(p.x) + " , " + format(p.y) + " , " + format(p.z);
}

std::string MaterialText(const ModelStore& store, std::int32_t material, const RealFormat& format) {
  if (material < 1 || material > RowsInUse(store.MaterialCount, MaterialCapacity)) return "-";
  const MaterialRow& m = store.Materials[material];
  return format(m.E) + " , " + format(m.nu);
}

std::string NodeForcesText(const ModelStore& store, std::int32_t node, const RealFormat& format) {
  std::string s;
  if (!IsNode(store, node)) return s;
  for (std::int32_t c = 1; c <= 3; ++c) {
    const float force = ForceAt(store, DofOf(node, c));
    if (force == 0) continue;
    s += format(force);
    s += DirectionLetter(c);
    s += ' ';
  }
  return s;
}

std::string NodeSupportsText(const ModelStore& store, std::int32_t node) {
  std::string s;
  if (!IsNode(store, node)) return s;
  const std::int32_t count = RowsInUse(store.SupportCount, SupportCapacity);
  for (std::int32_t j = 1; j <= count; ++j) {
    if (NodeOfDof(store.Supports[j].dof) != node) continue;
    s += SupportEntry(store.Supports[j]);
    s += ' ';
  }
  return s;
}

std::string ElementForcesText(const ModelStore& store, std::int32_t element, const RealFormat& format) {
  const ElementRow* row = ElementAt(store, element);
  std::string s;
  if (!row) return s;
  for (int k = 1; k <= 4; ++k)
    if (!SeenEarlier(*row, k)) s += NodeForcesText(store, row->node[k], format);
  return s;
}

std::string ElementSupportsText(const ModelStore& store, std::int32_t element) {
  const ElementRow* row = ElementAt(store, element);
  std::string s;
  if (!row) return s;
  for (int k = 1; k <= 4; ++k)
    if (!SeenEarlier(*row, k)) s += NodeSupportsText(store, row->node[k]);
  return s;
}

std::string DisplacementText(const ModelStore& store, std::int32_t node, const RealFormat& format) {
  if (!IsNode(store, node)) return "-";
  return format(DisplacementAt(store, DofOf(node, 1))) + " , " + format(DisplacementAt(store, DofOf(node, 2))) + " , " +
         format(DisplacementAt(store, DofOf(node, 3)));
}

float ForceAt(const ModelStore& store, std::int32_t dof) { return IsStoredDof(store, dof) ? store.Forces[dof] : 0.0f; }

float DisplacementAt(const ModelStore& store, std::int32_t dof) {
  return IsStoredDof(store, dof) ? store.Displacements[dof] : 0.0f;
}

}  // namespace qor
