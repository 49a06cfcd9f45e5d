#include "io/FileText.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <system_error>

namespace qor {
namespace {

// Closes a descriptor when it goes out of scope.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  // Closes now and reports whether the last writes reached the file.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(fd, text.data(), text.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Writes the whole text through an open descriptor and closes it.
bool WriteAndClose(Descriptor& file, std::string_view text) {
  const bool written = WriteAll(file.get(), text);
  // A file system that cannot sync (a pipe, some network mounts) still saves.
  if (written) ::fsync(file.get());
  return file.Close() && written;
}

// The file a symbolic link finally names, as the link chain resolves; `path`
// itself when it is no link. A dangling link gives the missing file it names,
// which a save then creates. A loop of links gives nothing.
std::optional<std::filesystem::path> FinalTarget(const std::filesystem::path& path) {
  namespace fs = std::filesystem;
  fs::path at = path;
  for (int depth = 0; depth < 40; ++depth) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(at, error))) return at;
    const fs::path target = fs::read_symlink(at, error);
    if (error) return std::nullopt;
    at = target.is_absolute() ? target : at.parent_path() / target;
  }
  return std::nullopt;
}

// A new temporary file beside `target`, created exclusively with `mode`
// (before the umask); -1 when the folder refuses it, with errno set.
int CreateTemporaryBeside(const std::string& target, mode_t mode, std::string& name) {
  const auto seed = static_cast<unsigned long>(std::chrono::steady_clock::now().time_since_epoch().count());
  for (unsigned long attempt = 0; attempt < 100; ++attempt) {
    name = target + "." + std::to_string(100000 + (seed + ::getpid() + attempt * 7919) % 900000) + "~";
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path, long long maxBytes) {
  // Non-blocking, so that opening a named pipe without a writer returns at
  // once instead of waiting; such a file is then refused as not regular.
  Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (file.get() < 0) return std::nullopt;
  struct stat info {};
  if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > maxBytes) return std::nullopt;
  // One byte more than the bound is asked for, so a file that grew since it
  // was measured is still refused.
  std::string text(static_cast<std::size_t>(info.st_size) + 1, '\0');
  std::size_t filled = 0;
  while (filled < text.size()) {
    const ssize_t got = ::read(file.get(), text.data() + filled, text.size() - filled);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::nullopt;
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
    if (filled > static_cast<std::size_t>(maxBytes)) return std::nullopt;
    if (filled == text.size())
      text.resize(std::min<std::size_t>(2 * text.size(), static_cast<std::size_t>(maxBytes) + 1));
  }
  text.resize(filled);
  return text;
}

bool WriteFileAtomically(const std::string& path, std::string_view text) {
  const std::optional<std::filesystem::path> finalPath = FinalTarget(path);
  if (!finalPath) return false;
  const std::string target = finalPath->string();

  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  // Only a plain file is replaced: renaming over a device, a pipe or a folder
  // would destroy it rather than save into it.
  if (exists && !S_ISREG(existing.st_mode)) return false;
  if (exists && ::access(target.c_str(), W_OK) != 0) return false;

  // The temporary starts private when it will take over an existing file's
  // permissions, and with the usual 0666 less the umask for a new file.
  std::string temporary;
  Descriptor file(CreateTemporaryBeside(target, exists ? S_IRUSR | S_IWUSR : 0666, temporary));
  if (file.get() < 0) {
    // A folder that cannot be written while the file can: the file is
    // written in place. That is not atomic, but it is the only way to save.
    if (!exists || (errno != EACCES && errno != EPERM)) return false;
    Descriptor direct(::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
    return direct.get() >= 0 && WriteAndClose(direct, text);
  }
  // As with the toolkit's own safe save, a permission change that fails
  // leaves the temporary private rather than failing the save.
  if (exists) (void)::fchmod(file.get(), existing.st_mode & 0777);
  bool saved = WriteAndClose(file, text);
  if (saved) saved = ::rename(temporary.c_str(), target.c_str()) == 0;
  if (!saved) ::unlink(temporary.c_str());
  return saved;
}

std::string_view TokenCursor::Next() {
  while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
  const std::size_t start = pos_;
  while (pos_ < text_.size() && !IsBlank(text_[pos_])) ++pos_;
  return text_.substr(start, pos_ - start);
}

}  // namespace qor
