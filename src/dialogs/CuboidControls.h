#pragma once

#include "build/Generators.h"

class QCheckBox;
class QLineEdit;

namespace qor {

// The controls shared by the two cuboid dialogs; the division edits are null
// in the plain cuboid dialog.
struct CuboidControls {
  QLineEdit* edits[7];  // Edit1..Edit7
  QLineEdit* divisions[3];
  QCheckBox* merge;
};

void ShowCuboid(const CuboidControls& controls, const CuboidParams& kept);
// All values of the controls, or nothing when one of them holds no number,
// a division count is below 1 or a far corner lies beyond the float range.
std::optional<CuboidParams> ReadCuboid(const CuboidControls& controls, const CuboidParams& kept);
// The message of both cuboid dialogs for a control that holds no number.
UserMessage CuboidInputMessage();

}  // namespace qor
