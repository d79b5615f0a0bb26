#include "files/file_calls.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

namespace ccp {

int FileCalls::open(const char* path, int flags, mode_t mode) {
  return ::open(path, flags, mode);
}

ssize_t FileCalls::write(int fd, const void* data, std::size_t size) {
  return ::write(fd, data, size);
}

int FileCalls::fsync(int fd) {
  return ::fsync(fd);
}

int FileCalls::close(int fd) {
  return ::close(fd);
}

int FileCalls::rename(const char* from, const char* to) {
  return std::rename(from, to);
}

int FileCalls::fchmod(int fd, mode_t mode) {
  return ::fchmod(fd, mode);
}

int FileCalls::fchown(int fd, uid_t owner, gid_t group) {
  return ::fchown(fd, owner, group);
}

int FileCalls::unlink(const char* path) {
  return ::unlink(path);
}

int FileCalls::linkat(int fromFolder, const char* from, int toFolder, const char* to, int flags) {
  return ::linkat(fromFolder, from, toFolder, to, flags);
}

int FileCalls::ftruncate(int fd, off_t length) {
  return ::ftruncate(fd, length);
}

int FileCalls::fstat(int fd, struct stat* info) {
  return ::fstat(fd, info);
}

ssize_t FileCalls::pread(int fd, void* data, std::size_t size, off_t offset) {
  return ::pread(fd, data, size, offset);
}

FileCalls& systemFileCalls() {
  static FileCalls calls;
  return calls;
}

namespace {
FileCalls* active = nullptr;
}  // namespace

FileCalls& activeFileCalls() {
  return active != nullptr ? *active : systemFileCalls();
}

FileCallsOverride::FileCallsOverride(FileCalls& calls) : previous_(active) {
  active = &calls;
}

FileCallsOverride::~FileCallsOverride() {
  active = previous_;
}

}  // namespace ccp
