#pragma once

#include <array>
#include <utility>

#include "model/ModelStore.h"
#include "platform/UserMessage.h"

namespace qor {

// The outcome of a file command: success, or the message that tells the user
// why nothing was changed.
struct IoResult {
  bool ok = true;
  UserMessage message;

  static IoResult Success() { return {}; }
  static IoResult Failure(UserMessage message) { return {false, std::move(message)}; }
};

// The messages of a file that cannot be read or written, for every command
// that reads or writes one.
UserMessage FileReadFailedMessage();
UserMessage FileWriteFailedMessage();

// One stiffness multiplier per element, as the global Densities table.
using DensityTable = std::array<float, ElementCapacity + 1>;

}  // namespace qor
