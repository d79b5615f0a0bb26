// Replacing a file as safely as the system allows: a complete new file takes the old one's
// place by rename, so a failure, a kill or a power cut leaves the old file or the new one,
// never a part of either. Where no rename can do it, the file is rewritten in place.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <string>

#include "files/file_calls.h"
#include "files/file_io.h"
#include "files/new_file.h"

namespace ccp {

namespace {

namespace fs = std::filesystem;
using Bytes = std::span<const std::uint8_t>;

constexpr mode_t kPermissionBits = 0777;
constexpr mode_t kModeBits = 07777;  // with the set-id and sticky bits
constexpr uid_t kUnchangedOwner = static_cast<uid_t>(-1);

struct Target {
  fs::path path;  // links resolved when the file exists
  std::optional<struct stat> existing;
};

std::nullopt_t refused(int error) {
  errno = error;
  return std::nullopt;
}

// The file to replace; nothing, with errno set, when the path can name none.
std::optional<Target> findTarget(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    if (errno != ENOENT) return std::nullopt;
    if (!fs::path(path).has_filename()) return refused(EISDIR);
    return Target{fs::path(path), std::nullopt};
  }
  // A folder, device or FIFO is never replaced.
  if (!S_ISREG(info.st_mode)) return refused(S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
  std::error_code ec;
  fs::path resolved = fs::canonical(fs::path(path), ec);
  if (ec) return refused(ec.value());
  return Target{std::move(resolved), info};
}

// Access by the effective user, as the open that follows will be judged.
bool mayWrite(const fs::path& path) {
  return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

// The old bytes stay until the new ones are all there: they are written over the old ones (a
// configuration file in one write), and only then is the file cut to their length. A kill at
// any step leaves the old file, or the new bytes with at most the old file's tail behind them.
bool writeInPlace(FileCalls& calls, const fs::path& path, Bytes bytes) {
  const int fd = calls.open(path.c_str(), O_WRONLY | O_CLOEXEC, 0);
  if (fd < 0) return false;
  const bool written = writeAll(calls, fd, bytes) &&
                       calls.ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 &&
                       calls.fsync(fd) == 0;
  const int error = errno;
  const bool closed = calls.close(fd) == 0;
  if (!written) errno = error;  // the failure before the close says why
  return written && closed;
}

// The owner is kept where the system allows it: only root may give a file away, but a member
// of the file's group may keep the group, so that the others in it can still write the file.
// The mode is kept exactly; it goes last, as a change of owner may clear set-id bits.
bool takeOverOwnerAndMode(FileCalls& calls, int fd, const struct stat& old) {
  if (calls.fchown(fd, old.st_uid, old.st_gid) != 0) {
    (void)calls.fchown(fd, kUnchangedOwner, old.st_gid);
  }
  return calls.fchmod(fd, old.st_mode & kModeBits) == 0;
}

}  // namespace

bool replaceFile(const std::string& path, std::span<const std::uint8_t> bytes) {
  return replaceFile(path, bytes, activeFileCalls());
}

bool replaceFile(const std::string& path, std::span<const std::uint8_t> bytes, FileCalls& calls) {
  const std::optional<Target> target = findTarget(path);
  if (!target) return false;
  if (target->existing) {
    if (!mayWrite(target->path)) return false;
    // Every name of a linked file must see the new bytes: a rename would part them.
    if (target->existing->st_nlink > 1) return writeInPlace(calls, target->path, bytes);
  }

  const mode_t mode = target->existing ? target->existing->st_mode & kPermissionBits : kNewFileMode;
  std::optional<NewFile> file = NewFile::create(calls, target->path, mode);
  if (!file) {
    // A folder the user may not write, beside a file the user may: the file is written in place.
    if (target->existing && errno == EACCES) return writeInPlace(calls, target->path, bytes);
    return false;
  }
  if (target->existing && !takeOverOwnerAndMode(calls, file->fd(), *target->existing)) return false;
  if (!file->write(bytes) || !file->replace(target->path)) return false;
  // Makes the rename itself survive a power cut. The new file is complete and in place by now,
  // and the folder entry holds the old file or the new one either way, so a folder that cannot
  // be flushed does not fail the save.
  syncFolder(calls, target->path.parent_path());
  return true;
}

int replaceRefusal(const std::string& path) {
  const std::optional<Target> target = findTarget(path);
  if (!target) return errno;
  if (target->existing) return mayWrite(target->path) ? 0 : errno;
  // A new file: its folder must take it.
  const fs::path folder = target->path.parent_path();
  const bool takes =
      ::faccessat(AT_FDCWD, folder.empty() ? "." : folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
  return takes ? 0 : errno;
}

}  // namespace ccp
