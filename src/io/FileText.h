#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qor {

// The largest file Open and Import read: 16 MiB. A model file that fills the
// store is about 170 kB, and a mesh the store can take, even with comments and
// blocks of other element types beside its tetrahedra, stays far below the
// bound; reading and scanning 16 MiB takes a fraction of a second, while a
// larger "file" (a device, a runaway log) would only eat memory.
inline constexpr long long MaxReadFileSize = 16LL << 20;

// The whole content of a regular file of at most MaxReadFileSize bytes, or
// nothing when it cannot be opened or read, is no regular file (a device, a
// named pipe, a folder) or is larger. Never waits for a writer of a pipe.
// The batch command, which reads models of any size, passes its own bound.
std::optional<std::string> ReadWholeFile(const std::string& path, long long maxBytes = MaxReadFileSize);

// Replaces the file at `path` by `text` so that the old file stays whole when
// anything fails: the text goes to a temporary file in the same folder, which
// is renamed over the target only after it was completely written and closed.
// As the toolkit's safe save does, a symbolic link is followed and the file it
// names is written (the link stays), an existing file keeps its permissions,
// and when the folder refuses a new file but the file itself is writable, the
// file is written in place. Anything but a plain file at `path` is refused.
// Returns false, with no temporary left behind, when any step fails.
bool WriteFileAtomically(const std::string& path, std::string_view text);

// The text split at blanks, tabs and line ends, one token after another.
class TokenCursor {
 public:
  explicit TokenCursor(std::string_view text) : text_(text) {}
  // The next token, or an empty view at the end of the text.
  std::string_view Next();
  // Characters consumed so far.
  std::size_t Position() const { return pos_; }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

// True for the characters that separate tokens.
constexpr bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

}  // namespace qor
