#pragma once

// The system calls that storing a file makes, behind one seam so that a test can make any of
// them fail. Each has the meaning and the result convention of the call it is named after; the
// system's own are async-signal-safe, as the calls they wrap are.

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>

namespace ccp {

class FileCalls {
 public:
  virtual ~FileCalls() = default;
  virtual int open(const char* path, int flags, mode_t mode);
  virtual ssize_t write(int fd, const void* data, std::size_t size);
  virtual int fsync(int fd);
  virtual int close(int fd);
  virtual int rename(const char* from, const char* to);
  virtual int fchmod(int fd, mode_t mode);
  virtual int fchown(int fd, uid_t owner, gid_t group);
  virtual int unlink(const char* path);
  virtual int linkat(int fromFolder, const char* from, int toFolder, const char* to, int flags);
  virtual int ftruncate(int fd, off_t length);
  virtual int fstat(int fd, struct stat* info);
  virtual ssize_t pread(int fd, void* data, std::size_t size, off_t offset);
};

// The operating system's own calls.
FileCalls& systemFileCalls();

// The calls file writing uses: the system's, unless a test put others in their place.
FileCalls& activeFileCalls();

// Puts other calls in the place of the system's for the life of this object, so a test can
// make a step of a command's file writing fail.
class FileCallsOverride {
 public:
  explicit FileCallsOverride(FileCalls& calls);
  ~FileCallsOverride();
  FileCallsOverride(const FileCallsOverride&) = delete;
  FileCallsOverride& operator=(const FileCallsOverride&) = delete;

 private:
  FileCalls* previous_;
};

}  // namespace ccp
