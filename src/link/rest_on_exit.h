#pragma once

#include <cstdint>

#include "ports/port_io.h"

namespace ccp {

// Should the process have to end at once while a command holds the port (a second Ctrl-C),
// the Programmer's lines go to rest first. A command arms this for as long as it holds the
// port. The two bytes that put every line at rest are worked out when it is armed, from the
// data and control registers as they are then (the transfers change only the Programmer's own
// bits) and the wiring's rest levels, so that restLinesNow() only writes them: safe in a
// signal handler. Only a port whose writes are signal-safe is armed.
class RestOnExit {
 public:
  RestOnExit(PortIo& port, std::uint16_t base);
  ~RestOnExit();
  RestOnExit(const RestOnExit&) = delete;
  RestOnExit& operator=(const RestOnExit&) = delete;

  struct Bytes {
    PortIo* port;
    std::uint16_t base;
    std::uint8_t data;
    std::uint8_t control;
  };

 private:
  Bytes bytes_;
  const Bytes* previous_ = nullptr;
  bool armed_ = false;
};

// Writes the rest bytes of the command that holds the port, if one does.
void restLinesNow() noexcept;

}  // namespace ccp
