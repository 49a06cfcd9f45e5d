#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

class QLabel;
class QListWidget;

namespace qor {

struct ModelStore;
struct RealFormat;

// What the two browsers share on screen: the list, and the detail labels that
// both forms name alike (Label2 ... Label18; the results form adds more).
// Labels are held by their number, null where a form has none.
using BrowserLabels = std::array<QLabel*, 33>;

// A label that looks empty, and the dash of a detail that does not apply.
inline constexpr const char* BlankText = " ";
inline constexpr const char* DashText = "-";

// A label's text right after each list button, by the button's column.
struct LabelReset {
  int label;
  std::array<const char*, 5> text;
};

void SetLabelText(QLabel* label, const std::string& text);
void ResetLabels(const BrowserLabels& labels, std::span<const LabelReset> table, int column);

// Replaces the list's lines.
void FillList(QListWidget* list, const std::vector<std::string>& lines);
// The selected line counted from 1, 0 when none.
std::int32_t SelectedLine(const QListWidget* list);

// Detail panel of an element, a node, a material and a support row, numbered
// as in the store; nothing changes when the number lies outside the rows in
// use, and they return whether they showed it. `format` writes the reals.
bool ShowElementDetails(const BrowserLabels& labels, const ModelStore& store, std::int32_t element,
                        const RealFormat& format);
bool ShowNodeDetails(const BrowserLabels& labels, const ModelStore& store, std::int32_t node, const RealFormat& format);
bool ShowMaterialDetails(const BrowserLabels& labels, const ModelStore& store, std::int32_t material,
                         const RealFormat& format);
bool ShowSupportDetails(const BrowserLabels& labels, const ModelStore& store, std::int32_t row);

// The store a browser reads when it has been given none: an empty model.
const ModelStore& EmptyModel();

}  // namespace qor
