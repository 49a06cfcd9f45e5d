#pragma once

#include <optional>

#include "build/Loads.h"

class QLineEdit;

namespace qor {

// Edit1..Edit9 of the force and support dialogs: first, last and step node,
// then the start and end values of x, y and z.
using NodeRangeEdits = QLineEdit* [9];

// Writes "0" into all nine edits.
void ClearNodeRange(const NodeRangeEdits& edits);
// The nine values over `kept`, or nothing when an edit holds no number.
std::optional<NodeRangeParams> ReadNodeRange(const NodeRangeEdits& edits, const NodeRangeParams& kept);

}  // namespace qor
