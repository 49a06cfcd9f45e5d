#include "BrowserPanel.h"

#include <QLabel>
#include <QListWidget>
#include <QStringList>

#include "BrowserText.h"

namespace qor {
namespace {

bool InUse(std::int32_t row, std::int32_t count, int capacity) { return row >= 1 && row <= count && row <= capacity; }

}  // namespace

void SetLabelText(QLabel* label, const std::string& text) {
  if (label) label->setText(QString::fromStdString(text));
}

void ResetLabels(const BrowserLabels& labels, std::span<const LabelReset> table, int column) {
  for (const LabelReset& row : table) SetLabelText(labels[row.label], row.text[column]);
}

void FillList(QListWidget* list, const std::vector<std::string>& lines) {
  QStringList items;
  items.reserve(static_cast<qsizetype>(lines.size()));
  for (const std::string& line : lines) items.push_back(QString::fromStdString(line));
  list->setUpdatesEnabled(false);
  list->clear();
  list->addItems(items);
  list->setUpdatesEnabled(true);
}

std::int32_t SelectedLine(const QListWidget* list) {
  const int row = list->currentRow();
  if (row < 0 || !list->item(row)->isSelected()) return 0;
  return row + 1;
}

bool ShowElementDetails(const BrowserLabels& labels, const ModelStore& store, std::int32_t element,
                        const RealFormat& format) {
  if (!InUse(element, store.ElementCount, ElementCapacity)) return false;
  const ElementRow& row = store.Elements[element];
  SetLabelText(labels[2], std::to_string(element));
  SetLabelText(labels[4], ElementNodesText(store, element));
  SetLabelText(labels[11], std::to_string(row.material));
  for (int k = 1; k <= 4; ++k) SetLabelText(labels[5 + k], CoordinatesText(store, row.node[k], format));
  SetLabelText(labels[13], MaterialText(store, row.material, format));
  // "Podpory :" and "Siły :" of an element cover all four of its nodes, in the
  // element's node order (the order of the coordinate lines above), each node
  // once, in the same pieces as a selected node shows: the element's loads and
  // restraints are exactly those of its nodes, and a node repeated by a
  // degenerate element must not count twice. Empty when none of them applies.
  SetLabelText(labels[16], ElementSupportsText(store, element));
  SetLabelText(labels[18], ElementForcesText(store, element, format));
  return true;
}

bool ShowNodeDetails(const BrowserLabels& labels, const ModelStore& store, std::int32_t node,
                     const RealFormat& format) {
  if (!InUse(node, store.NodeCount, NodeCapacity)) return false;
  SetLabelText(labels[4], std::to_string(node));
  SetLabelText(labels[6], CoordinatesText(store, node, format));
  SetLabelText(labels[18], NodeForcesText(store, node, format));
  SetLabelText(labels[16], NodeSupportsText(store, node));
  return true;
}

bool ShowMaterialDetails(const BrowserLabels& labels, const ModelStore& store, std::int32_t material,
                         const RealFormat& format) {
  if (!InUse(material, store.MaterialCount, MaterialCapacity)) return false;
  SetLabelText(labels[11], MaterialText(store, material, format));
  return true;
}

bool ShowSupportDetails(const BrowserLabels& labels, const ModelStore& store, std::int32_t row) {
  if (!InUse(row, store.SupportCount, SupportCapacity)) return false;
  SetLabelText(labels[16], SupportEntry(store.Supports[row]));
  return true;
}

const ModelStore& EmptyModel() {
  static const ModelStore empty;
  return empty;
}

}  // namespace qor
