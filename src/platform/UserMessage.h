#pragma once

#include <string>

namespace qor {

// The three message-box looks the program uses; every box has a single OK button.
enum class MessageStyle { Plain, Stop, Exclamation };

// A modal message: Polish text, a caption naming the activity and a look.
// Logic functions return one of these and the command handler shows it.
// `detail`, when not empty, is shown below the text (the box's informative
// text): what exactly went wrong, for example which node is free to move.
struct UserMessage {
  std::string text;
  std::string caption;
  MessageStyle style = MessageStyle::Plain;
  std::string detail{};

  bool operator==(const UserMessage&) const = default;
};

}  // namespace qor
