#include "NodeRangeControls.h"

#include <QLineEdit>

#include "BuildDialog.h"

namespace qor {

void ClearNodeRange(const NodeRangeEdits& edits) {
  for (QLineEdit* edit : edits) edit->setText(QStringLiteral("0"));
}

std::optional<NodeRangeParams> ReadNodeRange(const NodeRangeEdits& edits, const NodeRangeParams& kept) {
  NodeRangeParams read = kept;
  std::int32_t* ints[3] = {&read.FirstNode, &read.LastNode, &read.NodeStep};
  for (int i = 0; i < 3; ++i) {
    const std::optional<std::int32_t> value = ReadInt(edits[i]);
    if (!value) return std::nullopt;
    *ints[i] = *value;
  }
  float* floats[6] = {&read.StartX, &read.EndX, &read.StartY, &read.EndY, &read.StartZ, &read.EndZ};
  for (int i = 0; i < 6; ++i) {
    const std::optional<float> value = ReadFloat(edits[i + 3]);
    if (!value) return std::nullopt;
    *floats[i] = *value;
  }
  return read;
}

}  // namespace qor
