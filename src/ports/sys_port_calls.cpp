#include "ports/sys_port_calls.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

#if defined(__linux__) && (defined(__x86_64__) || defined(__i386__))
#include <sys/io.h>
#define CCP_HAVE_PORT_INSTRUCTIONS 1
#endif

namespace ccp {

namespace {

class RealSysPortCalls : public SysPortCalls {
 public:
  int open(const std::string& path, int flags) override { return ::open(path.c_str(), flags); }
  int ioctl(int fd, unsigned long request, void* argument) override {
    return ::ioctl(fd, request, argument);
  }
  int close(int fd) override { return ::close(fd); }

#ifdef CCP_HAVE_PORT_INSTRUCTIONS
  int ioperm(unsigned long from, unsigned long count, int turnOn) override {
    return ::ioperm(from, count, turnOn);
  }
  std::uint8_t inb(std::uint16_t address) override {
    return ::inb(address);
  }
  void outb(std::uint8_t value, std::uint16_t address) override {
    ::outb(value, address);
  }
#else
  int ioperm(unsigned long, unsigned long, int) override {
    errno = ENOSYS;
    return -1;
  }
  std::uint8_t inb(std::uint16_t) override {
    return 0x00;
  }
  void outb(std::uint8_t, std::uint16_t) override {}
#endif

  std::optional<std::vector<std::string>> listDirectory(const std::string& path) override {
    std::error_code error;
    std::filesystem::directory_iterator entries(path, error);
    if (error) return std::nullopt;
    std::vector<std::string> names;
    for (const auto& entry : entries) names.push_back(entry.path().filename().string());
    return names;
  }

  std::optional<std::string> readFile(const std::string& path) override {
    std::ifstream in(path);
    if (!in) return std::nullopt;
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
};

}  // namespace

SysPortCalls& realSysPortCalls() {
  static RealSysPortCalls calls;
  return calls;
}

}  // namespace ccp
