#include "link/ppdev_port.h"

#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cctype>
#include <fstream>
#include <sstream>

#include "link/wiring.h"

namespace ccp {

namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

unsigned firstBaseAddress(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  unsigned value = 0;
  bool any = false;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    value = value * 10 + static_cast<unsigned>(text[i] - '0');
    any = true;
    if (value > 0xFFFF) return 0;
  }
  return any ? value : 0;
}

PpdevPort::PpdevPort(std::string devicePrefix, std::string procDirectory)
    : devicePrefix_(std::move(devicePrefix)), procDirectory_(std::move(procDirectory)) {}

PpdevPort::~PpdevPort() {
  for (Opened& p : ports_) {
    if (p.fd < 0) continue;
    ioctl(p.fd, PPRELEASE);
    close(p.fd);
  }
}

int PpdevPort::openAndClaim(int index) const {
  const int fd = open((devicePrefix_ + std::to_string(index)).c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return -1;
  if (ioctl(fd, PPCLAIM) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

bool PpdevPort::obtainAccess() {
  if (ports_[0].fd >= 0) return true;  // already granted
  ports_ = {Opened{kLpt1Base, -1}, Opened{kLpt2Base, -1}};
  for (int index = 0; index < kMaxDevices; ++index) {
    const unsigned base =
        firstBaseAddress(readFile(procDirectory_ + std::to_string(index) + "/base-addr"));
    for (Opened& p : ports_)
      if (p.base == base && p.fd < 0) p.fd = openAndClaim(index);
  }
  return ports_[0].fd >= 0;
}

const PpdevPort::Opened* PpdevPort::portOf(std::uint16_t address) const {
  for (const Opened& p : ports_)
    if (p.fd >= 0 && address >= p.base && address <= p.base + 2) return &p;
  return nullptr;
}

std::uint8_t PpdevPort::in(std::uint16_t address) {
  const Opened* p = portOf(address);
  if (p == nullptr) return 0xFF;
  static constexpr unsigned long kReads[] = {PPRDATA, PPRSTATUS, PPRCONTROL};
  unsigned char value = 0xFF;
  if (ioctl(p->fd, kReads[address - p->base], &value) != 0) return 0xFF;
  return value;
}

void PpdevPort::out(std::uint16_t address, std::uint8_t value) {
  const Opened* p = portOf(address);
  if (p == nullptr) return;
  unsigned char byte = value;
  switch (address - p->base) {
    case 0:
      ioctl(p->fd, PPWDATA, &byte);
      break;
    case 2:
      ioctl(p->fd, PPWCONTROL, &byte);
      break;
    default:
      break;  // the status register cannot be written
  }
}

}  // namespace ccp
