#pragma once

#include <gtest/gtest.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "ports/port_io.h"
#include "ports/sys_port_calls.h"

namespace ccp::testing {

// Linux as the port backends see it: the parport list in /proc, the ppdev devices with the
// kernel's rule that registers move only while the port is claimed, and port instructions
// after ioperm(). Every call that touches a port is written to calls, e.g. "open
// /dev/parport1", "PPCLAIM 1", "PPWDATA 1 0x04", "ioperm 0xd010 3", "inb 0xd011".
class FakeKernel : public SysPortCalls {
 public:
  struct Port {
    int number;  // -1: a card the parport driver does not list
    std::uint16_t base;
    bool device = true;   // /dev/parportN exists
    bool mayOpen = true;  // its mode lets the user open it
    bool claimFails = false;
    std::string holder = "none";  // what devices/active shows
    std::array<std::uint8_t, 3> registers{};
    PortIo* programmer = nullptr;  // when set, the registers are those of this Programmer
    std::uint16_t programmerBase = 0;
    bool claimed = false;
  };

  bool parportLoaded = true;  // /proc/sys/dev/parport exists
  bool root = true;           // ioperm() is allowed
  std::vector<std::string> calls;
  int refusedIoctls = 0;  // register ioctls without a claim

  Port& addPort(int number, std::uint16_t base) {
    ports_.push_back(Port{number, base});
    return ports_.back();
  }
  Port& port(int number) {
    for (Port& p : ports_)
      if (p.number == number) return p;
    ADD_FAILURE() << "no port " << number;
    return ports_.front();
  }
  // The calls whose text starts with the prefix.
  std::vector<std::string> callsStarting(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& c : calls)
      if (c.starts_with(prefix)) found.push_back(c);
    return found;
  }

  int open(const std::string& path, int) override {
    calls.push_back("open " + path);
    for (Port& p : ports_) {
      if (!p.device || p.number < 0 || path != "/dev/parport" + std::to_string(p.number)) continue;
      if (!p.mayOpen) return fail(EACCES);
      files_[nextFd_] = &p;
      return nextFd_++;
    }
    return fail(ENOENT);
  }

  int ioctl(int fd, unsigned long request, void* argument) override {
    Port* p = files_.count(fd) ? files_[fd] : nullptr;
    if (p == nullptr) return fail(ENOTTY);
    const std::string device = " " + std::to_string(p->number);
    if (request == PPCLAIM) return claim(*p, device);
    if (request == PPRELEASE) {
      calls.push_back("PPRELEASE" + device);
      p->claimed = false;
      return 0;
    }
    if (!p->claimed) {
      ++refusedIoctls;
      return fail(EINVAL);
    }
    return registerIoctl(*p, device, request, static_cast<unsigned char*>(argument));
  }

  int close(int fd) override {
    Port* p = files_.count(fd) ? files_[fd] : nullptr;
    if (p == nullptr) return fail(EBADF);
    calls.push_back("close " + std::to_string(p->number));
    p->claimed = false;  // closing releases, as the kernel does
    files_.erase(fd);
    return 0;
  }

  int ioperm(unsigned long from, unsigned long count, int) override {
    calls.push_back("ioperm " + hex(from) + " " + std::to_string(count));
    if (!root) return fail(EPERM);
    for (unsigned long a = from; a < from + count; ++a) permitted_[a] = true;
    return 0;
  }

  std::uint8_t inb(std::uint16_t address) override {
    calls.push_back("inb " + hex(address));
    Port* p = portAt(address);
    return p ? readRegister(*p, address - p->base) : 0xFF;
  }

  void outb(std::uint8_t value, std::uint16_t address) override {
    calls.push_back("outb " + hex(address) + " " + hex(value));
    if (Port* p = portAt(address)) writeRegister(*p, address - p->base, value);
  }

  std::optional<std::vector<std::string>> listDirectory(const std::string& path) override {
    if (!parportLoaded || path != kProc) return std::nullopt;
    std::vector<std::string> names = {"default"};
    for (const Port& p : ports_)
      if (p.number >= 0) names.push_back("parport" + std::to_string(p.number));
    return names;
  }

  std::optional<std::string> readFile(const std::string& path) override {
    if (!parportLoaded) return std::nullopt;
    for (const Port& p : ports_) {
      if (p.number < 0) continue;
      const std::string dir = std::string(kProc) + "/parport" + std::to_string(p.number);
      if (path == dir + "/base-addr")
        return std::to_string(p.base) + "\t" + std::to_string(p.base + kHighBaseOffset) + "\n";
      if (path == dir + "/devices/active") return p.holder + "\n";
    }
    return std::nullopt;
  }

  static std::string hex(unsigned long value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%02lx", value);
    return text;
  }

 private:
  static constexpr const char* kProc = "/proc/sys/dev/parport";
  static constexpr unsigned kHighBaseOffset = 0x400;

  static int fail(int error) {
    errno = error;
    return -1;
  }

  int claim(Port& p, const std::string& device) {
    calls.push_back("PPCLAIM" + device);
    if (p.claimed) return fail(EINVAL);
    if (p.claimFails) return fail(EINTR);  // as when the wait for the port was cut short
    p.claimed = true;
    return 0;
  }

  int registerIoctl(Port& p, const std::string& device, unsigned long request,
                    unsigned char* value) {
    struct Access {
      unsigned long request;
      const char* name;
      unsigned offset;
      bool write;
    };
    static constexpr Access kAccesses[] = {
        {PPRDATA, "PPRDATA", 0, false},      {PPWDATA, "PPWDATA", 0, true},
        {PPRSTATUS, "PPRSTATUS", 1, false},  {PPRCONTROL, "PPRCONTROL", 2, false},
        {PPWCONTROL, "PPWCONTROL", 2, true},
    };
    for (const Access& a : kAccesses) {
      if (a.request != request) continue;
      if (a.write) {
        calls.push_back(std::string(a.name) + device + " " + hex(*value));
        writeRegister(p, a.offset, *value);
      } else {
        calls.push_back(std::string(a.name) + device);
        *value = readRegister(p, a.offset);
      }
      return 0;
    }
    return fail(ENOTTY);
  }

  Port* portAt(std::uint16_t address) {
    if (!permitted_[address]) {
      ADD_FAILURE() << "port instruction without ioperm at " << hex(address);
      return nullptr;
    }
    for (Port& p : ports_)
      if (address >= p.base && address < p.base + 3) return &p;
    return nullptr;
  }

  std::uint8_t readRegister(Port& p, unsigned offset) {
    if (p.programmer)
      return p.programmer->in(static_cast<std::uint16_t>(p.programmerBase + offset));
    return p.registers[offset];
  }
  void writeRegister(Port& p, unsigned offset, std::uint8_t value) {
    if (p.programmer)
      p.programmer->out(static_cast<std::uint16_t>(p.programmerBase + offset), value);
    else
      p.registers[offset] = value;
  }

  std::deque<Port> ports_;
  std::map<int, Port*> files_;
  int nextFd_ = 10;
  std::map<unsigned long, bool> permitted_;
};

}  // namespace ccp::testing
