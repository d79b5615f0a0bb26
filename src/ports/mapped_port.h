#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ports/port_choice.h"
#include "ports/port_io.h"
#include "ports/port_registers.h"
#include "ports/system_ports.h"

namespace ccp {

// LPT1 (base 888) and LPT2 (base 632) as logical names over the system ports they mean. Each
// register address of a name reaches the same register of its port; a name without a port
// reads 0x00 (no Programmer: presence bit clear, SDA low) and ignores writes. Access is
// granted when at least one name has a port. A backend finds and opens the ports and moves
// the bytes.
class MappedPort : public PortIo {
 public:
  bool obtainAccess() final;
  std::uint8_t in(std::uint16_t address) final;
  void out(std::uint16_t address, std::uint8_t value) final;
  bool claim(std::uint16_t base) final;
  void release(std::uint16_t base) final;
  std::string portName(std::uint16_t base) const final;
  // A write is a lookup in tables made at start-up, then the backend's ioctl or port instruction.
  bool signalSafe() const final { return true; }

  // Every name the user chose means a port this backend opened.
  bool reachesChoice() const;

 protected:
  explicit MappedPort(PortChoice choice) : choice_(std::move(choice)) {}

  struct OpenedPort {
    SystemPort port;
    int handle;  // the backend's own: a file descriptor, an I/O address
    std::string name;
    int claims = 0;
  };
  const std::vector<OpenedPort>& openedPorts() const { return opened_; }

 private:
  // The port each name means, by the user's choice and the system's list.
  virtual LptMap mapPorts(const PortChoice& choice) = 0;
  // The handle of the opened port, or nothing when it cannot be opened.
  virtual std::optional<int> openPort(const SystemPort& port) = 0;
  virtual std::string nameOf(const SystemPort& port) const = 0;
  virtual std::uint8_t readRegister(int handle, PortRegister reg) = 0;
  virtual void writeRegister(int handle, PortRegister reg, std::uint8_t value) = 0;
  virtual bool claimPort(const OpenedPort&) { return true; }
  virtual void releasePort(const OpenedPort&) {}

  struct Route {
    OpenedPort* port;
    PortRegister reg;
  };
  std::optional<Route> route(std::uint16_t address);
  OpenedPort* portOfName(std::uint16_t base);
  std::optional<std::size_t> openOnce(const SystemPort& port);

  PortChoice choice_;
  bool mapped_ = false;
  std::vector<OpenedPort> opened_;
  std::array<std::optional<std::size_t>, 2> names_;  // LPT1, LPT2: index into opened_
};

}  // namespace ccp
