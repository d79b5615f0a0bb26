#pragma once

// A file written in full before it takes its name. It is made unnamed where the file system
// allows it (O_TMPFILE) and otherwise under a temporary name beside its target, so a process
// killed while writing leaves nothing behind; a temporary name that a killed process did leave
// is removed when the next file for the same target takes a temporary name.

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace ccp {

class FileCalls;

// The mode of a file this program makes, before the umask takes bits off it.
inline constexpr mode_t kNewFileMode = 0666;

class NewFile {
 public:
  // An empty file in the folder of `target`, with `mode` as the umask leaves it. Nothing when
  // none could be made; errno then says why.
  static std::optional<NewFile> create(FileCalls& calls, const std::filesystem::path& target,
                                       mode_t mode);
  NewFile(NewFile&& other) noexcept;
  NewFile& operator=(NewFile&&) = delete;
  // Closes it, and takes back the temporary name it still has.
  ~NewFile();

  int fd() const { return fd_; }
  // All the bytes, then flushed to the disk.
  bool write(std::span<const std::uint8_t> bytes);
  // Gives it the name `path` too, never taking the name of an existing file: false with errno
  // EEXIST when there is one.
  bool linkAs(const std::filesystem::path& path);
  // Closes it: false when the system reports an error.
  bool close();
  // Takes the place of the file at `path`; closes it first.
  bool replace(const std::filesystem::path& path);

 private:
  NewFile(FileCalls& calls, int fd, std::filesystem::path temp)
      : calls_(&calls), fd_(fd), temp_(std::move(temp)) {}
  bool nameTemporarily(const std::filesystem::path& target);

  FileCalls* calls_;
  int fd_;
  std::filesystem::path temp_;  // empty while the file has no name of its own
};

// Writes all the bytes, taking up a write that wrote part of them; async-signal-safe.
bool writeAll(FileCalls& calls, int fd, std::string_view bytes);
inline bool writeAll(FileCalls& calls, int fd, std::span<const std::uint8_t> bytes) {
  return writeAll(calls, fd,
                  std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

// Flushes the folder's entries to the disk, so a new name survives a power cut; best effort.
void syncFolder(FileCalls& calls, const std::filesystem::path& folder);

// Removes the temporary files that saves of `target` left when they were killed: those named
// as this program names them and held by no save under way.
void removeStaleTemporaries(const std::filesystem::path& target);

}  // namespace ccp
