#include "ports/direct_port.h"

namespace ccp {

namespace {

constexpr unsigned long kRegisterCount = 3;

NamedPort resolve(const std::optional<NamedDevice>& device, const std::vector<SystemPort>& listed) {
  if (!device) return {};
  if (auto port = listedPort(*device, listed)) return {true, port};
  // An address is reached whether or not the system lists it; a device needs its listed base.
  if (device->kind == NamedDevice::Kind::Address)
    return {true, SystemPort{-1, static_cast<std::uint16_t>(device->value)}};
  return {true, std::nullopt};
}

}  // namespace

DirectPort::DirectPort(PortChoice choice, SysPortCalls& sys, ParportPaths paths)
    : MappedPort(std::move(choice)), sys_(sys), paths_(std::move(paths)) {}

std::vector<SystemPort> DirectPort::addressablePorts() {
  const auto listed = listSystemPorts(sys_, paths_);
  if (!listed) return {{-1, kLegacyLpt1Address}, {-1, kLegacyLpt2Address}};
  std::vector<SystemPort> ports;
  for (const SystemPort& port : *listed)
    if (port.base != 0) ports.push_back(port);  // a port without I/O registers (USB adapter)
  return ports;
}

LptMap DirectPort::mapPorts(const PortChoice& choice) {
  const std::vector<SystemPort> listed = addressablePorts();
  return mapLptPorts(listed, {resolve(choice.lpt1, listed), resolve(choice.lpt2, listed)});
}

std::optional<int> DirectPort::openPort(const SystemPort& port) {
  if (sys_.ioperm(port.base, kRegisterCount, 1) != 0) return std::nullopt;
  return port.base;
}

std::string DirectPort::nameOf(const SystemPort& port) const {
  return deviceText({NamedDevice::Kind::Address, port.base});
}

std::uint8_t DirectPort::readRegister(int base, PortRegister reg) {
  return sys_.inb(static_cast<std::uint16_t>(base + static_cast<int>(reg)));
}

void DirectPort::writeRegister(int base, PortRegister reg, std::uint8_t value) {
  sys_.outb(value, static_cast<std::uint16_t>(base + static_cast<int>(reg)));
}

}  // namespace ccp
