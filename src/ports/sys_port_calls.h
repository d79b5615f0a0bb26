#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ccp {

// The few system calls the port backends make, so a test can stand a fake kernel in their
// place. Each returns what the call itself returns (-1 on failure, with errno set).
class SysPortCalls {
 public:
  virtual ~SysPortCalls() = default;
  virtual int open(const std::string& path, int flags) = 0;
  virtual int ioctl(int fd, unsigned long request, void* argument) = 0;
  virtual int close(int fd) = 0;
  virtual int ioperm(unsigned long from, unsigned long count, int turnOn) = 0;
  virtual std::uint8_t inb(std::uint16_t address) = 0;
  virtual void outb(std::uint8_t value, std::uint16_t address) = 0;
  // The entries of a directory (of /proc), or nothing when it cannot be read.
  virtual std::optional<std::vector<std::string>> listDirectory(const std::string& path) = 0;
  // The whole text of a small file (of /proc), or nothing when it cannot be read.
  virtual std::optional<std::string> readFile(const std::string& path) = 0;
};

// The calls of the running Linux system. Port instructions exist only on x86: elsewhere
// ioperm() fails with ENOSYS.
SysPortCalls& realSysPortCalls();

}  // namespace ccp
