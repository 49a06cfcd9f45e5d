#include "CuboidControls.h"

#include <QCheckBox>
#include <QLineEdit>
#include <cmath>

#include "BuildDialog.h"

namespace qor {

void ShowCuboid(const CuboidControls& c, const CuboidParams& kept) {
  const float values[6] = {kept.OriginX, kept.OriginY, kept.OriginZ, kept.SizeX, kept.SizeY, kept.SizeZ};
  for (int i = 0; i < 6; ++i) ShowFloat(c.edits[i], values[i]);
  ShowInt(c.edits[6], kept.MaterialNumber);
  const std::int32_t divisions[3] = {kept.DivisionsX, kept.DivisionsY, kept.DivisionsZ};
  for (int i = 0; i < 3; ++i)
    if (c.divisions[i]) ShowInt(c.divisions[i], divisions[i]);
  c.merge->setChecked(kept.MergeFlag);
}

std::optional<CuboidParams> ReadCuboid(const CuboidControls& c, const CuboidParams& kept) {
  CuboidParams read = kept;
  float* floats[6] = {&read.OriginX, &read.OriginY, &read.OriginZ, &read.SizeX, &read.SizeY, &read.SizeZ};
  for (int i = 0; i < 6; ++i) {
    const std::optional<float> value = ReadFloat(c.edits[i]);
    if (!value) return std::nullopt;
    *floats[i] = *value;
  }
  std::int32_t* ints[4] = {&read.MaterialNumber, &read.DivisionsX, &read.DivisionsY, &read.DivisionsZ};
  QLineEdit* intEdits[4] = {c.edits[6], c.divisions[0], c.divisions[1], c.divisions[2]};
  for (int i = 0; i < 4; ++i) {
    if (!intEdits[i]) continue;
    const std::optional<std::int32_t> value = ReadInt(intEdits[i]);
    // A division count below 1 is as bad as a field without a number.
    if (!value || (i > 0 && *value < 1)) return std::nullopt;
    *ints[i] = *value;
  }
  // A far corner beyond the float range would put nodes at infinity. The
  // generator checks every block's corners once it knows they fit.
  for (int i = 0; i < 3; ++i)
    if (!std::isfinite(*floats[i] + *floats[i + 3])) return std::nullopt;
  read.MergeFlag = c.merge->isChecked();
  return read;
}

UserMessage CuboidInputMessage() {
  return {"Złe parametry prostopadłościanu", "Prostopadłościan", MessageStyle::Plain};
}

}  // namespace qor
