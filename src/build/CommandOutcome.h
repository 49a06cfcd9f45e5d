#pragma once

#include <optional>

#include "platform/UserMessage.h"

namespace qor {

// What a model-building command tells its handler after it has run: a message
// to show (a message box, or the toolkit's plain message dialog) and whether
// the picture must be drawn again.
struct CommandOutcome {
  std::optional<UserMessage> message;
  bool plainMessage = false;  // show message->text with the plain message dialog
  bool repaint = false;
};

}  // namespace qor
