#include "files/new_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <random>
#include <utility>

#include "files/file_calls.h"

namespace ccp {

namespace fs = std::filesystem;

namespace {

constexpr int kTemporaryNameAttempts = 16;
constexpr unsigned kTemporaryNameRange = 1000000;
constexpr std::size_t kTemporaryDigits = 6;
constexpr std::string_view kTemporaryTag = ".tmp";
constexpr std::size_t kNameMax = 255;  // bytes in one name, on every file system Linux mounts

// An unnamed file can only be named through its /proc link.
bool unnamedFilesCanBeNamed() {
  static const bool procMounted = ::access("/proc/self/fd", X_OK) == 0;
  return procMounted;
}

// The target's name, cut short where its temporary names would pass the length limit.
std::string temporaryPrefix(const fs::path& target) {
  std::string name = target.filename().string();
  name.resize(std::min(name.size(), kNameMax - kTemporaryTag.size() - kTemporaryDigits));
  return name + std::string(kTemporaryTag);
}

fs::path temporaryName(const fs::path& target, std::mt19937& random) {
  return target.parent_path() /
         (temporaryPrefix(target) + std::to_string(random() % kTemporaryNameRange));
}

// What became of one temporary name.
enum class Attempt { Taken, NameInUse, Failed };

// Tries temporary names for `target`, stale ones removed first, until `take` takes one or fails:
// true when it took one. When every name tried was in use, errno is EEXIST.
template <class Take>
bool takeTemporaryName(const fs::path& target, Take&& take) {
  removeStaleTemporaries(target);
  std::random_device seed;
  std::mt19937 random(seed());
  for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    switch (take(temporaryName(target, random))) {
      case Attempt::Taken:
        return true;
      case Attempt::Failed:
        return false;
      case Attempt::NameInUse:
        break;
    }
  }
  errno = EEXIST;
  return false;
}

bool isTemporaryOf(const std::string& name, const std::string& prefix) {
  if (!name.starts_with(prefix) || name.size() == prefix.size()) return false;
  const std::string_view digits = std::string_view(name).substr(prefix.size());
  return digits.size() <= kTemporaryDigits &&
         std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::optional<NewFile> NewFile::create(FileCalls& calls, const fs::path& target, mode_t mode) {
  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  if (unnamedFilesCanBeNamed()) {
    const int fd = calls.open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (fd >= 0) {
      (void)::flock(fd, LOCK_EX);
      return NewFile(calls, fd, {});
    }
    // A file system without unnamed files says so in one of these ways.
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return std::nullopt;
  }
  std::optional<NewFile> made;
  takeTemporaryName(target, [&](const fs::path& temp) {
    const int fd = calls.open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) return errno == EEXIST ? Attempt::NameInUse : Attempt::Failed;
    NewFile file(calls, fd, temp);
    // A save holds its temporary file locked while it has one, and the lock goes with the
    // process. A stale-file removal may have taken the name between its creation and the lock:
    // then another name is tried. Any other failure removes the file, name and all.
    const bool locked = ::flock(fd, LOCK_EX) == 0;
    const int error = errno;
    struct stat info {};
    if (calls.fstat(fd, &info) != 0) return Attempt::Failed;
    if (info.st_nlink == 0) {
      file.temp_.clear();  // the name is no longer this file's
      return Attempt::NameInUse;
    }
    if (!locked) {
      errno = error;
      return Attempt::Failed;
    }
    made.emplace(std::move(file));
    return Attempt::Taken;
  });
  return made;
}

NewFile::NewFile(NewFile&& other) noexcept
    : calls_(other.calls_), fd_(std::exchange(other.fd_, -1)), temp_(std::move(other.temp_)) {
  other.temp_.clear();
}

NewFile::~NewFile() {
  const int saved = errno;  // why a save failed, which the tidying up must not overwrite
  if (fd_ >= 0) (void)calls_->close(fd_);
  if (!temp_.empty()) (void)calls_->unlink(temp_.c_str());
  errno = saved;
}

bool NewFile::write(std::span<const std::uint8_t> bytes) {
  return writeAll(*calls_, fd_, bytes) && calls_->fsync(fd_) == 0;
}

bool NewFile::linkAs(const fs::path& path) {
  if (!temp_.empty())
    return calls_->linkat(AT_FDCWD, temp_.c_str(), AT_FDCWD, path.c_str(), 0) == 0;
  const std::string self = "/proc/self/fd/" + std::to_string(fd_);
  return calls_->linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

bool NewFile::close() {
  return fd_ < 0 || calls_->close(std::exchange(fd_, -1)) == 0;
}

// An unnamed file gets a temporary name first: a rename needs one, and linkat never replaces.
bool NewFile::nameTemporarily(const fs::path& target) {
  return takeTemporaryName(target, [this](const fs::path& temp) {
    if (!linkAs(temp)) return errno == EEXIST ? Attempt::NameInUse : Attempt::Failed;
    temp_ = temp;
    return Attempt::Taken;
  });
}

bool NewFile::replace(const fs::path& path) {
  if (temp_.empty() && !nameTemporarily(path)) return false;
  // The close is checked before the rename, but the lock stays on through a second descriptor:
  // until the rename, another save must not take the temporary file for a killed one's.
  const int lock = ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);
  if (lock < 0) return false;
  const bool renamed = close() && calls_->rename(temp_.c_str(), path.c_str()) == 0;
  const int error = errno;
  ::close(lock);
  errno = error;
  if (!renamed) return false;
  temp_.clear();
  return true;
}

bool writeAll(FileCalls& calls, int fd, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = calls.write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n == 0) errno = EIO;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

void syncFolder(FileCalls& calls, const fs::path& folder) {
  const int fd =
      calls.open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
  if (fd < 0) return;
  (void)calls.fsync(fd);
  (void)calls.close(fd);
}

void removeStaleTemporaries(const fs::path& target) {
  const std::string prefix = temporaryPrefix(target);
  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (!isTemporaryOf(it->path().filename().string(), prefix)) continue;
    const int fd = ::open(it->path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      (void)::unlink(it->path().c_str());
    }
    ::close(fd);
  }
}

}  // namespace ccp
