#pragma once

// The system's file calls, recorded, with one step made to fail: for tests of file writing.

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "files/file_calls.h"

namespace ccp::test {

enum class Step {
  Create,
  OpenInPlace,
  OpenFolder,
  Write,
  Fsync,
  Fchmod,
  Fchown,
  Close,
  Rename,
  Link,
  Truncate
};

inline const char* name(Step s) {
  static const std::map<Step, const char*> names = {
      {Step::Create, "create"}, {Step::OpenInPlace, "open"}, {Step::OpenFolder, "open folder"},
      {Step::Write, "write"},   {Step::Fsync, "fsync"},      {Step::Fchmod, "fchmod"},
      {Step::Fchown, "fchown"}, {Step::Close, "close"},      {Step::Rename, "rename"},
      {Step::Link, "link"},     {Step::Truncate, "truncate"}};
  return names.at(s);
}

// The system's calls, recorded, with one step made to fail with `error`.
class ScriptedCalls : public FileCalls {
 public:
  std::optional<Step> failing;
  int error = EIO;
  int passes = 0;                     // calls of the failing step that succeed before it fails
  std::function<void(Step)> before;   // runs before each step: another program at work
  bool unnamedFiles = true;           // false: a file system that cannot make them
  std::size_t writeLimit = SIZE_MAX;  // the most one write takes
  std::vector<std::string> trace;     // steps in order; an fd's step names what it is
  std::vector<mode_t> createModes;

  int open(const char* path, int flags, mode_t mode) override {
    const bool unnamed = (flags & O_TMPFILE) == O_TMPFILE;
    if (unnamed && !unnamedFiles) {
      errno = EOPNOTSUPP;
      return -1;
    }
    const bool create = (flags & O_CREAT) != 0 || unnamed;
    const Step step = create                  ? Step::Create
                      : (flags & O_DIRECTORY) ? Step::OpenFolder
                                              : Step::OpenInPlace;
    if (step == Step::Create) createModes.push_back(mode);
    if (fails(step)) return -1;
    const int fd = FileCalls::open(path, flags, mode);
    if (fd >= 0) opened_[fd] = step == Step::OpenFolder ? "folder" : "file";
    return fd;
  }
  ssize_t write(int fd, const void* data, std::size_t size) override {
    if (fails(Step::Write)) return -1;
    return FileCalls::write(fd, data, std::min(size, writeLimit));
  }
  int fsync(int fd) override {
    const bool failed = fails(Step::Fsync);
    trace.back() += " " + opened_.at(fd);
    return failed ? -1 : FileCalls::fsync(fd);
  }
  int close(int fd) override {
    const int result = FileCalls::close(fd);  // the descriptor is gone even when close fails
    opened_.erase(fd);
    return fails(Step::Close) ? -1 : result;
  }
  int rename(const char* from, const char* to) override {
    return fails(Step::Rename) ? -1 : FileCalls::rename(from, to);
  }
  int fchmod(int fd, mode_t mode) override {
    return fails(Step::Fchmod) ? -1 : FileCalls::fchmod(fd, mode);
  }
  int fchown(int fd, uid_t owner, gid_t group) override {
    return fails(Step::Fchown) ? -1 : FileCalls::fchown(fd, owner, group);
  }
  int linkat(int fromFolder, const char* from, int toFolder, const char* to, int flags) override {
    return fails(Step::Link) ? -1 : FileCalls::linkat(fromFolder, from, toFolder, to, flags);
  }
  int ftruncate(int fd, off_t length) override {
    return fails(Step::Truncate) ? -1 : FileCalls::ftruncate(fd, length);
  }

  std::size_t stillOpen() const { return opened_.size(); }

 private:
  bool fails(Step step) {
    if (before) before(step);
    trace.push_back(name(step));
    if (failing != step || passes-- > 0) return false;
    errno = error;
    return true;
  }
  std::map<int, std::string> opened_;
};

}  // namespace ccp::test
