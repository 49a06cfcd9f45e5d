#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qor {

// The whole content of a file, or nothing when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Replaces the file at `path` by `text` so that the old file stays whole when
// anything fails: the text goes to a temporary file in the same folder, which
// is renamed over the target only after it was completely written and closed.
// Returns false, with no temporary left behind, when any step fails.
bool WriteFileAtomically(const std::string& path, std::string_view text);

// The text split at blanks, tabs and line ends, one token after another.
class TokenCursor {
 public:
  explicit TokenCursor(std::string_view text) : text_(text) {}
  // The next token, or an empty view at the end of the text.
  std::string_view Next();

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

// True for the characters that separate tokens.
constexpr bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

}  // namespace qor
