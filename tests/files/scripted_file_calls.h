#pragma once

// The system's file calls, recorded, with one step made to fail: for tests of file writing.

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "files/file_calls.h"

namespace ccp::test {

enum class Step { Create, OpenInPlace, OpenFolder, Write, Fsync, Fchmod, Fchown, Close, Rename };

inline const char* name(Step s) {
  static const std::map<Step, const char*> names = {
      {Step::Create, "create"}, {Step::OpenInPlace, "open"}, {Step::OpenFolder, "open folder"},
      {Step::Write, "write"},   {Step::Fsync, "fsync"},      {Step::Fchmod, "fchmod"},
      {Step::Fchown, "fchown"}, {Step::Close, "close"},      {Step::Rename, "rename"}};
  return names.at(s);
}

// The system's calls, recorded, with one step made to fail with `error`.
class ScriptedCalls : public FileCalls {
 public:
  std::optional<Step> failing;
  int error = EIO;
  std::size_t writeLimit = SIZE_MAX;  // the most one write takes
  std::vector<std::string> trace;     // steps in order; an fd's step names what it is
  std::vector<mode_t> createModes;

  int open(const char* path, int flags, mode_t mode) override {
    const Step step = (flags & O_CREAT)       ? Step::Create
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

  std::size_t stillOpen() const { return opened_.size(); }

 private:
  bool fails(Step step) {
    trace.push_back(name(step));
    if (failing != step) return false;
    errno = error;
    return true;
  }
  std::map<int, std::string> opened_;
};

}  // namespace ccp::test
