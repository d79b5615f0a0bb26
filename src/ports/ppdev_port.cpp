#include "ports/ppdev_port.h"

#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>

#include "ports/call_deadline.h"

namespace ccp {

namespace {

constexpr unsigned long kReads[] = {PPRDATA, PPRSTATUS, PPRCONTROL};  // by PortRegister
constexpr std::uint8_t kFailedRead = 0x00;                            // reads as no Programmer

NamedPort resolve(const std::optional<NamedDevice>& device, const std::vector<SystemPort>& listed) {
  if (!device) return {};
  if (auto port = listedPort(*device, listed)) return {true, port};
  // /dev/parportN may open though /proc does not list it; an unlisted address has no device.
  if (device->kind == NamedDevice::Kind::Ppdev)
    return {true, SystemPort{static_cast<int>(device->value), 0}};
  return {true, std::nullopt};
}

}  // namespace

LptMap ppdevLptMap(const PortChoice& choice, const std::vector<SystemPort>& listed) {
  return mapLptPorts(listed, {resolve(choice.lpt1, listed), resolve(choice.lpt2, listed)});
}

PpdevPort::PpdevPort(PortChoice choice, SysPortCalls& sys, ParportPaths paths)
    : MappedPort(std::move(choice)), sys_(sys), paths_(std::move(paths)) {}

PpdevPort::~PpdevPort() {
  for (const OpenedPort& port : openedPorts()) {
    if (port.claims > 0) releasePort(port);
    sys_.close(port.handle);
  }
}

LptMap PpdevPort::mapPorts(const PortChoice& choice) {
  const std::vector<SystemPort> listed =
      listSystemPorts(sys_, paths_).value_or(std::vector<SystemPort>{});
  return ppdevLptMap(choice, listed);
}

std::optional<int> PpdevPort::openPort(const SystemPort& port) {
  const int fd = sys_.open(nameOf(port), O_RDWR | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  return fd;
}

std::string PpdevPort::nameOf(const SystemPort& port) const {
  return ppdevDevice(paths_, port.number);
}

// Without a claim the kernel refuses the register ioctls: the port then reads as absent.
std::uint8_t PpdevPort::readRegister(int fd, PortRegister reg) {
  unsigned char value = kFailedRead;
  if (sys_.ioctl(fd, kReads[static_cast<int>(reg)], &value) != 0) return kFailedRead;
  return value;
}

void PpdevPort::writeRegister(int fd, PortRegister reg, std::uint8_t value) {
  unsigned char byte = value;
  sys_.ioctl(fd, reg == PortRegister::Data ? PPWDATA : PPWCONTROL, &byte);
}

bool PpdevPort::heldByAnother(int number) {
  const auto holder = portHolder(sys_, paths_, number);
  return holder && !holder->empty();  // not listed: only the claim can tell
}

bool PpdevPort::claimPort(const OpenedPort& port) {
  if (heldByAnother(port.port.number)) return false;
  CallDeadline deadline(kClaimLimit);
  return sys_.ioctl(port.handle, PPCLAIM, nullptr) == 0;
}

void PpdevPort::releasePort(const OpenedPort& port) {
  sys_.ioctl(port.handle, PPRELEASE, nullptr);
}

}  // namespace ccp
