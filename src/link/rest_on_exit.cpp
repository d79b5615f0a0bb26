#include "link/rest_on_exit.h"

#include <atomic>

#include "link/wiring.h"

namespace ccp {

namespace {

std::atomic<const RestOnExit::Bytes*> armed{nullptr};
static_assert(std::atomic<const RestOnExit::Bytes*>::is_always_lock_free);

std::uint16_t address(std::uint16_t base, PortRegister reg) {
  return static_cast<std::uint16_t>(base + static_cast<std::uint16_t>(reg));
}

// The register's value with every line it carries at its rest level.
std::uint8_t atRest(PortIo& port, std::uint16_t base, PortRegister reg) {
  unsigned value = port.in(address(base, reg));
  for (const LineWiring& w : kWiring) {
    if (w.reg != reg || w.atRest == Level::Input) continue;
    value = w.atRest == Level::Set ? value | w.mask : value & ~unsigned{w.mask};
  }
  return static_cast<std::uint8_t>(value);
}

}  // namespace

RestOnExit::RestOnExit(PortIo& port, std::uint16_t base)
    : bytes_{&port, base, 0, 0}, previous_(armed.load()) {
  if (!port.signalSafe()) return;
  bytes_.data = atRest(port, base, PortRegister::Data);
  bytes_.control = atRest(port, base, PortRegister::Control);
  armed.store(&bytes_);
  armed_ = true;
}

RestOnExit::~RestOnExit() {
  if (armed_) armed.store(previous_);
}

void restLinesNow() noexcept {
  const RestOnExit::Bytes* bytes = armed.load();
  if (bytes == nullptr) return;
  bytes->port->out(address(bytes->base, PortRegister::Data), bytes->data);
  bytes->port->out(address(bytes->base, PortRegister::Control), bytes->control);
}

}  // namespace ccp
