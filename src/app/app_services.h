#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "image/build_config.h"
#include "link/clock.h"
#include "link/port_io.h"
#include "link/steady_clock.h"

namespace ccp {

enum class PortKind { Hardware, Simulator };

// The user's choice of the devices behind LPT1 and LPT2 (--lpt1, --lpt2): a /dev/parportN
// device or a hexadecimal I/O base such as 0xd010. Nothing chosen: the usual search.
struct PortOverrides {
  std::optional<std::string> lpt1;
  std::optional<std::string> lpt2;
};

// The port and the clock of the running program: the real clock, and either the best port
// the machine grants (ppdev, then direct port I/O) or a simulated Programmer with a pager of
// the built model plugged in, running in real time.
class ApplicationServices {
 public:
  ApplicationServices(const BuildConfig& config, PortKind kind, PortOverrides overrides = {});
  ~ApplicationServices();

  PortIo& port() { return *port_; }
  Clock& clock() { return clock_; }
  // Called during the long pauses of a transfer, so the window can repaint.
  void setIdleHook(std::function<void()> hook) { clock_.setIdleHook(std::move(hook)); }
  // What the user chose for LPT1 and LPT2; the hardware port is still found by the usual search.
  const PortOverrides& overrides() const { return overrides_; }

 private:
  SteadyClock clock_;
  PortOverrides overrides_;
  std::unique_ptr<PortIo> port_;
};

}  // namespace ccp
