#include "ports/mapped_port.h"

namespace ccp {

namespace {

constexpr std::array<std::uint16_t, 2> kNameBases = {kLpt1Base, kLpt2Base};
constexpr std::uint16_t kRegisterCount = 3;
constexpr std::uint8_t kNoPort = 0x00;

}  // namespace

bool MappedPort::obtainAccess() {
  if (!mapped_) {
    mapped_ = true;
    const LptMap map = mapPorts(choice_);
    const std::array<const NamedPort*, 2> named = {&map.lpt1, &map.lpt2};
    for (std::size_t i = 0; i < named.size(); ++i)
      if (named[i]->port) names_[i] = openOnce(*named[i]->port);
  }
  return names_[0] || names_[1];
}

std::optional<std::size_t> MappedPort::openOnce(const SystemPort& port) {
  for (std::size_t i = 0; i < opened_.size(); ++i)
    if (opened_[i].port == port) return i;
  const std::optional<int> handle = openPort(port);
  if (!handle) return std::nullopt;
  opened_.push_back({port, *handle, nameOf(port)});
  return opened_.size() - 1;
}

bool MappedPort::reachesChoice() const {
  const std::array<bool, 2> chosen = {choice_.lpt1.has_value(), choice_.lpt2.has_value()};
  for (std::size_t i = 0; i < chosen.size(); ++i)
    if (chosen[i] && !names_[i]) return false;
  return true;
}

MappedPort::OpenedPort* MappedPort::portOfName(std::uint16_t base) {
  for (std::size_t i = 0; i < kNameBases.size(); ++i)
    if (kNameBases[i] == base && names_[i]) return &opened_[*names_[i]];
  return nullptr;
}

std::optional<MappedPort::Route> MappedPort::route(std::uint16_t address) {
  for (std::uint16_t base : kNameBases) {
    if (address < base || address >= base + kRegisterCount) continue;
    OpenedPort* port = portOfName(base);
    if (port == nullptr) return std::nullopt;
    return Route{port, static_cast<PortRegister>(address - base)};
  }
  return std::nullopt;
}

std::uint8_t MappedPort::in(std::uint16_t address) {
  const std::optional<Route> to = route(address);
  return to ? readRegister(to->port->handle, to->reg) : kNoPort;
}

void MappedPort::out(std::uint16_t address, std::uint8_t value) {
  const std::optional<Route> to = route(address);
  if (to && to->reg != PortRegister::Status) writeRegister(to->port->handle, to->reg, value);
}

bool MappedPort::claim(std::uint16_t base) {
  OpenedPort* port = portOfName(base);
  if (port == nullptr) return true;  // nothing to take: the name reads as no Programmer
  if (port->claims == 0 && !claimPort(*port)) return false;
  ++port->claims;
  return true;
}

void MappedPort::release(std::uint16_t base) {
  OpenedPort* port = portOfName(base);
  if (port == nullptr || port->claims == 0) return;
  if (--port->claims == 0) releasePort(*port);
}

std::string MappedPort::portName(std::uint16_t base) const {
  for (std::size_t i = 0; i < kNameBases.size(); ++i)
    if (kNameBases[i] == base && names_[i]) return opened_[*names_[i]].name;
  return {};
}

}  // namespace ccp
